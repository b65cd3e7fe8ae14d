// The self-test log in the history: each entry once however often the log is
// read, and a file of the first layout migrated in place.
#include "history/history_store.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

constexpr std::int64_t kStart = 1'700'000'000;
constexpr std::int64_t kHour = 3600;
const DriveIdentity kDrive{"ST2000DM008-2FR102", "ZFL0TEST"};

class CFixedClock : public CHistoryClock {
public:
    std::int64_t Now() const override { return kStart + 86400; }
};

SelfTestSample Entry(const char* type, const char* outcome, int code, std::int64_t hours,
                     std::optional<std::int64_t> lba = std::nullopt) {
    return {type, outcome, code, hours, lba, outcome};
}

// "type/outcome@hours first-seen" per stored entry, newest first.
std::string Stored(const CHistoryStore& store) {
    std::string text;
    const auto tests = store.SelfTests(kDrive);
    if (!tests) {
        return tests.Problem();
    }
    for (const StoredSelfTest& test : tests.Value()) {
        text += test.entry.type + "/" + test.entry.outcome + "@" +
                std::to_string(test.entry.hours.value_or(-1)) + " " +
                std::to_string(test.firstSeen - kStart) + ";";
    }
    return text;
}

TEST(SelfTestHistory, EachLogEntryIsStoredOnce) {
    const SelfTestSample shortOk = Entry("short", "ok", 0, 100);
    const SelfTestSample longFail = Entry("extended", "failed", 121, 110, 4242);
    const SelfTestSample running = Entry("short", "running", 249, 120);
    const SelfTestSample shortOkLater = Entry("short", "ok", 0, 120);
    const struct {
        const char* name;
        std::vector<std::vector<SelfTestSample>> runs; // one log per hourly run
        const char* stored;
    } cases[] = {
        {"the same log read every hour", {{shortOk}, {shortOk}, {shortOk}}, "short/ok@100 0;"},
        {"a new entry at the head",
         {{shortOk}, {longFail, shortOk}, {longFail, shortOk}},
         "extended/failed@110 3600;short/ok@100 0;"},
        {"a running test is stored when it ends",
         {{running, shortOk}, {shortOkLater, shortOk}},
         "short/ok@120 3600;short/ok@100 0;"},
        {"two alike tests in one power-on hour are two",
         {{shortOk}, {shortOk, shortOk}, {shortOk, shortOk}},
         "short/ok@100 3600;short/ok@100 0;"},
        {"the oldest entry leaving the ring removes nothing",
         {{longFail, shortOk}, {shortOkLater, longFail}},
         "short/ok@120 3600;extended/failed@110 0;short/ok@100 0;"},
        {"an empty log", {{}, {}}, ""},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        CHistoryStore store;
        ASSERT_TRUE(store.Open(folder / kHistoryFileName, CHistoryStore::Access::Write).HasValue());
        for (std::size_t run = 0; run < c.runs.size(); ++run) {
            DriveReading reading{kDrive, {{9, 100, 100, 0, 1000}}, c.runs[run]};
            const Result<void> recorded =
                store.RecordRun(kStart + static_cast<std::int64_t>(run) * kHour, {reading});
            ASSERT_TRUE(recorded) << recorded.Problem();
        }
        EXPECT_EQ(Stored(store), c.stored) << c.name;
    }
}

// The first layout, as its program created it.
const char kVersion1[] = R"sql(
CREATE TABLE meta(key TEXT PRIMARY KEY, value INTEGER NOT NULL) WITHOUT ROWID;
CREATE TABLE drives(id INTEGER PRIMARY KEY, model TEXT NOT NULL, serial TEXT NOT NULL,
    first_seen INTEGER NOT NULL, last_seen INTEGER NOT NULL, UNIQUE(model, serial));
CREATE TABLE series(drive INTEGER NOT NULL, attr INTEGER NOT NULL,
    PRIMARY KEY(drive, attr)) WITHOUT ROWID;
CREATE TABLE samples(drive INTEGER NOT NULL, attr INTEGER NOT NULL, time INTEGER NOT NULL,
    value INTEGER NOT NULL, worst INTEGER NOT NULL, threshold INTEGER NOT NULL,
    raw INTEGER NOT NULL, PRIMARY KEY(drive, attr, time)) WITHOUT ROWID;
INSERT INTO drives VALUES(1, 'ST2000DM008-2FR102', 'ZFL0TEST', 1700000000, 1700003600);
INSERT INTO series VALUES(1, 5);
INSERT INTO samples VALUES(1, 5, 1700000000, 100, 100, 10, 0);
INSERT INTO samples VALUES(1, 5, 1700003600, 100, 100, 10, 8);
PRAGMA user_version = 1;
)sql";

std::int64_t UserVersion(const std::string& path) {
    sqlite3* db = nullptr;
    sqlite3_stmt* stmt = nullptr;
    std::int64_t version = -1;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW) {
        version = sqlite3_column_int64(stmt, 0);
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return version;
}

TEST(SelfTestHistory, AFirstLayoutFileIsReadAsItIsAndMigratedByTheWriter) {
    TempFolder folder;
    const std::string path = folder / kHistoryFileName;
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, kVersion1, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    {
        // A reader before the next collection: its readings, no self-tests.
        CHistoryStore reader;
        ASSERT_TRUE(reader.Open(path, CHistoryStore::Access::Read).HasValue());
        EXPECT_EQ(reader.Readings(kDrive, 5)->size(), 2u);
        EXPECT_TRUE(reader.SelfTests(kDrive)->empty());
    }
    EXPECT_EQ(UserVersion(path), 1);
    {
        const CFixedClock clock;
        CHistoryStore writer(clock);
        ASSERT_TRUE(writer.Open(path, CHistoryStore::Access::Write).HasValue());
        DriveReading reading{kDrive, {{5, 100, 100, 10, 8}}, {Entry("short", "ok", 0, 50)}};
        const Result<void> recorded = writer.RecordRun(kStart + 2 * kHour, {reading});
        ASSERT_TRUE(recorded) << recorded.Problem();
    }
    EXPECT_EQ(UserVersion(path), 2);
    CHistoryStore reader;
    ASSERT_TRUE(reader.Open(path, CHistoryStore::Access::Read).HasValue());
    const auto samples = reader.Readings(kDrive, 5).Value();
    ASSERT_EQ(samples.size(), 2u);
    EXPECT_EQ(samples[1].sample.raw, 8);
    EXPECT_EQ(Stored(reader), "short/ok@50 7200;");
}

TEST(SelfTestHistory, AMigrationThatFailsLeavesTheFileAsItWas) {
    TempFolder folder;
    const std::string path = folder / kHistoryFileName;
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, kVersion1, nullptr, nullptr, nullptr), SQLITE_OK);
    // Something in the way of the new table's index.
    ASSERT_EQ(
        sqlite3_exec(db, "CREATE VIEW self_tests_entry AS SELECT 1", nullptr, nullptr, nullptr),
        SQLITE_OK);
    sqlite3_close(db);
    CHistoryStore writer;
    const Result<void> opened = writer.Open(path, CHistoryStore::Access::Write);
    EXPECT_FALSE(opened);
    EXPECT_FALSE(opened.Problem().empty());
    EXPECT_EQ(UserVersion(path), 1);
    CHistoryStore reader;
    ASSERT_TRUE(reader.Open(path, CHistoryStore::Access::Read).HasValue());
    EXPECT_EQ(reader.Readings(kDrive, 5)->size(), 2u);
}

} // namespace
