#include "history/history_store.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

constexpr std::int64_t kHour = 3600;
constexpr std::int64_t kDay = 86400;
const DriveIdentity kDrive{"WDC WD20EFRX-68EUZN0", "WD-WCC4M0000001"};

DriveReading Reading(int temperature, std::int64_t reallocated) {
    return {kDrive, {{5, 100, 100, 140, reallocated}, {194, 100, 100, 0, temperature}}};
}

void Record(CHistoryStore& store, std::int64_t time, const DriveReading& reading) {
    const auto recorded = store.RecordRun(time, {reading});
    EXPECT_TRUE(recorded) << recorded.Problem();
}

TEST(CHistoryStore, KeepsOnlyChangesAndWhenTheDriveWasLastSeen) {
    TempFolder folder;
    CHistoryStore store;
    ASSERT_TRUE(store.Open(folder / kHistoryFileName, CHistoryStore::Access::Write));
    const std::int64_t start = 1'700'000'000;
    Record(store, start, Reading(30, 0));
    Record(store, start + kHour, Reading(30, 0));
    Record(store, start + 2 * kHour, Reading(31, 8));
    // A drive without a serial number cannot be told apart: not recorded.
    Record(store, start, {{"ST1000", ""}, {{5, 100, 100, 36, 1}}});

    const std::vector<HistoryPoint> points = store.Readings(kDrive).Value();
    ASSERT_EQ(points.size(), 4u);
    EXPECT_EQ(points[2].time, start + 2 * kHour);
    EXPECT_EQ(points[2].sample.id, 5);
    EXPECT_EQ(points[2].sample.raw, 8);
    EXPECT_EQ(store.Readings(kDrive, 194)->size(), 2u);
    EXPECT_EQ(store.LastSeen(kDrive).Value(), start + 2 * kHour);
    EXPECT_EQ(store.Drives()->size(), 1u);
}

class CRunClock : public CHistoryClock {
public:
    std::int64_t Now() const override { return now; }
    std::int64_t now = 0;
};

TEST(CHistoryStore, OldDaysKeepTheirLastSampleAndTheRecentWindowEveryChange) {
    TempFolder folder;
    CRunClock clock;
    CHistoryStore store(clock);
    ASSERT_TRUE(store.Open(folder / kHistoryFileName, CHistoryStore::Access::Write));
    const std::int64_t start = 1'700'006'400; // a UTC midnight
    // Four readings a day for 100 days, the temperature different each time.
    const int days = 100;
    const std::int64_t step = 6 * kHour;
    for (std::int64_t n = 0; n < days * 4; ++n) {
        clock.now = start + n * step;
        Record(store, start + n * step, Reading(static_cast<int>(30 + n % 4), 0));
    }
    const std::int64_t now = start + (days * 4 - 1) * step;
    const std::int64_t cutoff = (now - CHistoryStore::kFullResolutionSeconds) / kDay * kDay;
    const std::vector<HistoryPoint> temperature = store.Readings(kDrive, 194).Value();
    std::size_t old = 0;
    for (const HistoryPoint& point : temperature) {
        if (point.time < cutoff) {
            ++old;
            EXPECT_EQ(point.time % kDay, 18 * kHour) << "not the day's last sample";
            EXPECT_EQ(point.sample.raw, 33);
        }
    }
    EXPECT_EQ(old, static_cast<std::size_t>((cutoff - start) / kDay));
    EXPECT_EQ(temperature.size() - old, static_cast<std::size_t>((now - cutoff) / step + 1));
    // The unchanging counter keeps its first sample: it is its day's last.
    EXPECT_EQ(store.Readings(kDrive, 5)->size(), 1u);
}

void SetUserVersion(const std::string& path, int version) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    const std::string sql = "PRAGMA user_version = " + std::to_string(version);
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

TEST(CHistoryStore, WhatItCannotWriteItLeavesAlone) {
    TempFolder folder;
    const std::string path = folder / kHistoryFileName;
    {
        CHistoryStore store;
        ASSERT_TRUE(store.Open(path, CHistoryStore::Access::Write));
        Record(store, 1'700'000'000, Reading(30, 0));
    }
    SetUserVersion(path, CHistoryStore::kSchemaVersion + 1);
    // A newer schema is its own kind of failure, whatever its words: the
    // writer leaves it alone, a reader reads it as far as it knows it.
    CHistoryStore newer;
    const auto written = newer.Open(path, CHistoryStore::Access::Write);
    ASSERT_FALSE(written);
    EXPECT_EQ(written.Kind(), FailureKind::Newer) << written.Problem();
    CHistoryStore reader;
    ASSERT_TRUE(reader.Open(path, CHistoryStore::Access::Read));
    EXPECT_FALSE(reader.Note().empty());
    EXPECT_EQ(reader.Readings(kDrive)->size(), 2u);

    const struct {
        const char* name;
        const char* bytes;
    } damaged[] = {{"not a database", "this is not SQLite\n"}, {"empty header", "SQLite format 3"}};
    for (const auto& c : damaged) {
        const std::string file = folder.Write(std::string("damaged-") + c.name, c.bytes);
        for (const auto access : {CHistoryStore::Access::Write, CHistoryStore::Access::Read}) {
            CHistoryStore store;
            const auto opened = store.Open(file, access);
            ASSERT_FALSE(opened) << c.name;
            EXPECT_EQ(opened.Kind(), FailureKind::Failed) << c.name << ": " << opened.Problem();
            EXPECT_FALSE(opened.Problem().empty()) << c.name;
        }
    }
    CHistoryStore missing;
    const auto none = missing.Open(folder / "none.sqlite", CHistoryStore::Access::Read);
    ASSERT_FALSE(none);
    EXPECT_EQ(none.Kind(), FailureKind::Missing);
}

} // namespace
