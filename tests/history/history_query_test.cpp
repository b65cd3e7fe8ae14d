// The indexed queries against a long generated history, each compared with
// a scan of all the samples of the same database.
#include "history/history_store.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <map>

namespace {

constexpr std::int64_t kHour = 3600;
constexpr std::int64_t kStart = 1'700'006'400; // a UTC midnight
constexpr std::int64_t kStep = 6 * kHour;
constexpr int kRuns = 200 * 4; // long enough for thinning
const DriveIdentity kDrives[] = {{"MODEL A", "SERIAL-A"}, {"MODEL B", "SERIAL-B"}};
const int kIds[] = {1, 5, 9, 12, 194, 197};

class CTestClock : public CHistoryClock {
public:
    std::int64_t Now() const override { return now; }
    std::int64_t now = 0;
};

// Run n of drive d: counters that grow, go up and down, change only their
// normalised value, or never change.
DriveReading Reading(std::size_t d, std::int64_t n) {
    const std::int64_t mixed = (n * 7919 + static_cast<std::int64_t>(d) * 104729) % 1000;
    return {kDrives[d],
            {{1, static_cast<int>(90 + n / 50 % 3), 90, 6, 0},
             {5, 100, 100, 36, n / 97},
             {9, 90, 90, 0, 1000 + n},
             {12, 100, 100, 20, 55},
             {194, static_cast<int>(60 + mixed % 4), 40, 0, 30 + mixed % 5},
             {197, 100, 100, 0, mixed < 100 ? 1 : 0}}};
}

// Every stored sample of drive, per attribute, oldest first: a scan of
// the whole series, as the warnings and tooltips once did.
std::map<int, std::vector<HistoryPoint>> ScanRows(const CHistoryStore& store,
                                                  const DriveIdentity& drive) {
    std::map<int, std::vector<HistoryPoint>> found;
    const auto points = store.Readings(drive);
    EXPECT_TRUE(points) << points.Problem();
    for (const HistoryPoint& point : points ? points.Value() : std::vector<HistoryPoint>()) {
        found[point.sample.id].push_back(point);
    }
    return found;
}

void ExpectSame(const Result<std::optional<HistoryPoint>>& got, const HistoryPoint* expected,
                const std::string& what) {
    ASSERT_TRUE(got) << what << ": " << got.Problem();
    ASSERT_EQ(got.Value().has_value(), expected != nullptr) << what;
    if (expected != nullptr) {
        EXPECT_EQ(got.Value()->time, expected->time) << what;
        EXPECT_EQ(got.Value()->sample.id, expected->sample.id) << what;
        EXPECT_EQ(got.Value()->sample.current, expected->sample.current) << what;
        EXPECT_EQ(got.Value()->sample.raw, expected->sample.raw) << what;
    }
}

class LongHistory : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_folder = new TempFolder;
        CTestClock clock;
        CHistoryStore store(clock);
        ASSERT_TRUE(store.Open(Path(), CHistoryStore::Access::Write));
        for (std::int64_t n = 0; n < kRuns; ++n) {
            clock.now = kStart + n * kStep;
            // The second drive arrives later and is read every other run.
            std::vector<DriveReading> run{Reading(0, n)};
            if (n >= 40 && n % 2 == 0) {
                run.push_back(Reading(1, n));
            }
            const auto recorded = store.RecordRun(clock.now, run);
            ASSERT_TRUE(recorded) << recorded.Problem();
        }
    }
    static void TearDownTestSuite() { delete s_folder; }
    static std::string Path() { return *s_folder / kHistoryFileName; }

    void SetUp() override {
        const auto opened = m_store.Open(Path(), CHistoryStore::Access::Read);
        ASSERT_TRUE(opened) << opened.Problem();
    }

    static TempFolder* s_folder;
    CHistoryStore m_store;
};

TempFolder* LongHistory::s_folder = nullptr;

TEST_F(LongHistory, KnowsEachDriveWithWhenItWasFirstAndLastRead) {
    const auto known = m_store.KnownDrives();
    ASSERT_TRUE(known) << known.Problem();
    ASSERT_EQ(known->size(), 2u);
    const std::int64_t lastRun = kStart + (kRuns - 1) * kStep;
    const std::int64_t expected[][2] = {{kStart, lastRun}, {kStart + 40 * kStep, lastRun - kStep}};
    for (std::size_t d = 0; d < 2; ++d) {
        EXPECT_EQ((*known)[d].drive, kDrives[d]);
        EXPECT_EQ((*known)[d].firstSeen, expected[d][0]);
        EXPECT_EQ((*known)[d].lastSeen, expected[d][1]);
    }
}

TEST_F(LongHistory, SingleFactsMatchAScanOfEverySample) {
    for (const DriveIdentity& drive : kDrives) {
        const std::map<int, std::vector<HistoryPoint>> rows = ScanRows(m_store, drive);
        ASSERT_EQ(rows.size(), std::size(kIds));
        std::vector<RawChange> changes;
        for (const auto& [id, series] : rows) {
            const std::string name = drive.serial + " id " + std::to_string(id);
            ExpectSame(m_store.FirstSample(drive, id), &series.front(), name + " first");

            // Before, at, between and after stored samples.
            for (std::size_t i : {std::size_t(0), series.size() / 2, series.size() - 1}) {
                const std::int64_t at = series[i].time;
                ExpectSame(m_store.SampleAt(drive, id, at), &series[i], name + " at");
                ExpectSame(m_store.SampleAt(drive, id, at + 1), &series[i], name + " after");
                ExpectSame(m_store.SampleAt(drive, id, at - 1), i == 0 ? nullptr : &series[i - 1],
                           name + " before");
            }

            // The newest raw value, an older one and one never seen.
            for (std::int64_t raw :
                 {series.back().sample.raw, series.front().sample.raw, std::int64_t(-12345)}) {
                const HistoryPoint* expected = nullptr;
                for (const HistoryPoint& row : series) {
                    expected = row.sample.raw != raw ? &row : expected;
                }
                ExpectSame(m_store.LastRawOtherThan(drive, id, raw), expected,
                           name + " raw other than " + std::to_string(raw));
            }

            // The last change: the newest sample of another raw value than
            // the newest, and the sample after it.
            for (std::size_t i = series.size() - 1; i > 0; --i) {
                if (series[i - 1].sample.raw != series.back().sample.raw) {
                    changes.push_back(
                        {id, series[i].time, series[i - 1].sample.raw, series.back().sample.raw});
                    break;
                }
            }
        }
        const auto got = m_store.LastRawChanges(drive);
        ASSERT_TRUE(got) << got.Problem();
        ASSERT_EQ(got->size(), changes.size()) << drive.serial;
        for (std::size_t i = 0; i < changes.size(); ++i) {
            EXPECT_EQ((*got)[i].id, changes[i].id);
            EXPECT_EQ((*got)[i].time, changes[i].time) << changes[i].id;
            EXPECT_EQ((*got)[i].from, changes[i].from) << changes[i].id;
            EXPECT_EQ((*got)[i].to, changes[i].to) << changes[i].id;
        }
        // Counters that change and those that never do are both present.
        EXPECT_GE(changes.size(), 3u);
        EXPECT_LT(changes.size(), std::size(kIds));
    }
    const DriveIdentity unknown{"MODEL A", "SERIAL-Z"};
    ExpectSame(m_store.SampleAt(unknown, 5, kStart + kStep), nullptr, "unknown drive");
    ExpectSame(m_store.LastRawOtherThan(kDrives[0], 77, 0), nullptr, "unknown attribute");
    EXPECT_TRUE(m_store.LastRawChanges(unknown)->empty());
}

TEST(CHistoryStoreForget, RemovesTheDriveAndOnlyIt) {
    TempFolder folder;
    CHistoryStore store;
    ASSERT_TRUE(store.Open(folder / kHistoryFileName, CHistoryStore::Access::Write));
    ASSERT_TRUE(store.RecordRun(kStart, {Reading(0, 1), Reading(1, 1)}));
    const auto forgotten = store.Forget(kDrives[0]);
    ASSERT_TRUE(forgotten) << forgotten.Problem();
    EXPECT_TRUE(forgotten.Value());
    EXPECT_TRUE(ScanRows(store, kDrives[0]).empty());
    EXPECT_EQ(ScanRows(store, kDrives[1]).size(), std::size(kIds));
    const auto again = store.Forget(kDrives[0]);
    ASSERT_TRUE(again);
    EXPECT_FALSE(again.Value());
    const auto left = store.Drives();
    ASSERT_TRUE(left);
    EXPECT_EQ(left.Value(), std::vector<DriveIdentity>{kDrives[1]});
}

} // namespace
