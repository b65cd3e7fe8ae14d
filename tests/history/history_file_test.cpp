// The history file under faults: links at its path, a damaged page, a write
// interrupted by a kill, and readings whose time is wrong.
#include "history/history_store.h"
#include "hostile/unprivileged.h"
#include "support/temp_folder.h"

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr std::int64_t kDay = 86400;
constexpr std::int64_t kNow = 1'790'000'000;

class CTestClock : public CHistoryClock {
public:
    std::int64_t Now() const override { return now; }
    std::int64_t now = kNow;
};

DriveReading Reading(int drive, std::int64_t raw) {
    DriveReading reading{{"MODEL", "SERIAL-" + std::to_string(drive)}, {}};
    for (int id = 1; id <= 30; ++id) {
        reading.attributes.push_back({id, 100, 100, 10, raw * id});
    }
    return reading;
}

// A history of drives × runs, each run changing every attribute.
void WriteHistory(const std::string& path, int drives, int runs) {
    CTestClock clock;
    CHistoryStore store(clock);
    const auto opened = store.Open(path, CHistoryStore::Access::Write);
    ASSERT_TRUE(opened) << opened.Problem();
    for (int run = 0; run < runs; ++run) {
        std::vector<DriveReading> readings;
        for (int d = 0; d < drives; ++d) {
            readings.push_back(Reading(d, run));
        }
        const auto recorded = store.RecordRun(kNow - (runs - run) * 3600, readings);
        ASSERT_TRUE(recorded) << recorded.Problem();
    }
}

// Everything a reader asks of each drive, as text; empty when any query fails.
std::string ReadAll(const std::string& path, std::string& problem) {
    CHistoryStore store;
    if (const auto opened = store.Open(path, CHistoryStore::Access::Read); !opened) {
        problem = opened.Problem();
        return std::string();
    }
    const auto drives = store.Drives();
    if (!drives) {
        problem = drives.Problem();
        return std::string();
    }
    std::string all;
    for (const DriveIdentity& drive : drives.Value()) {
        const auto points = store.Readings(drive);
        const auto seen = store.LastSeen(drive);
        if (!points || !seen) {
            problem = points ? seen.Problem() : points.Problem();
            return std::string();
        }
        all += drive.serial + " " + std::to_string(seen.Value().value_or(-1)) + ":";
        for (const HistoryPoint& point : points.Value()) {
            all += " " + std::to_string(point.time) + "/" + std::to_string(point.sample.id) + "=" +
                   std::to_string(point.sample.raw);
        }
        all += "\n";
    }
    return all;
}

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

TEST(HistoryFile, OnlyItsOwnRegularFileIsWrittenAndMadeReadable) {
    enum Put { HardLink, SymbolicLink, OtherUsers, Own };
    const struct {
        const char* name;
        Put put;
        const char* refusal; // empty: written, and made 0644 whatever the umask
    } cases[] = {{"hard link", HardLink, "other links"},
                 {"symbolic link", SymbolicLink, "symbolic link"},
                 {"another user's file", OtherUsers, "another user"},
                 {"its own file", Own, ""}};
    for (const auto& c : cases) {
        if (c.put == OtherUsers && geteuid() != 0) {
            continue; // only root can be tricked into this
        }
        TempFolder folder;
        const std::string target = folder.Write("root-only", "");
        ASSERT_EQ(chmod(target.c_str(), 0600), 0);
        const std::string path = folder / kHistoryFileName;
        // Put there before the call, as a user who can write the folder may.
        if (c.put == HardLink || c.put == SymbolicLink) {
            ASSERT_EQ((c.put == HardLink ? link : symlink)(target.c_str(), path.c_str()), 0);
        } else {
            ASSERT_EQ(rename(target.c_str(), path.c_str()), 0);
            ASSERT_TRUE(c.put == Own || chown(path.c_str(), UnprivilegedUser(), 0) == 0);
        }
        CHistoryStore store;
        const mode_t old = umask(077);
        const auto opened = store.Open(path, CHistoryStore::Access::Write);
        const std::string problem = opened.Problem();
        EXPECT_EQ(opened.HasValue(), *c.refusal == '\0') << c.name << ": " << problem;
        umask(old);
        EXPECT_NE(problem.find(c.refusal), std::string::npos) << c.name << ": " << problem;
        const std::string changed = c.put == HardLink || c.put == SymbolicLink ? target : path;
        EXPECT_EQ(ModeOf(changed), *c.refusal == '\0' ? 0644u : 0600u) << c.name;
    }
}

TEST(HistoryFile, AZeroedPageIsAnErrorNeverFewerReadings) {
    TempFolder folder;
    const std::string original = folder / "original.sqlite";
    WriteHistory(original, 4, 40);
    std::string problem;
    const std::string intact = ReadAll(original, problem);
    ASSERT_FALSE(intact.empty()) << problem;

    std::ifstream in(original, std::ios::binary);
    const std::string bytes(std::istreambuf_iterator<char>(in), {});
    const std::size_t pageSize = 4096;
    ASSERT_EQ(bytes.size() % pageSize, 0u);
    const std::size_t pages = bytes.size() / pageSize;
    ASSERT_GE(pages, 10u);
    int failed = 0;
    for (std::size_t page = 0; page < pages; ++page) {
        std::string damaged = bytes;
        std::fill_n(damaged.begin() + static_cast<std::ptrdiff_t>(page * pageSize), pageSize, '\0');
        const std::string path = folder.Write("damaged.sqlite", damaged);
        problem.clear();
        const std::string read = ReadAll(path, problem);
        // Either all of it, or an error that says so.
        if (read.empty()) {
            EXPECT_FALSE(problem.empty()) << "page " << page + 1;
            ++failed;
        } else {
            EXPECT_EQ(read, intact) << "page " << page + 1 << " was read short";
        }
    }
    // The samples fill most pages: most zeroed pages must be noticed.
    EXPECT_GT(failed, static_cast<int>(pages) / 2);
}

// A statement SQLite cannot prepare or step (a table gone) makes every
// query that needs it fail, never answer as if the history were empty.
TEST(HistoryFile, AQueryOnAMissingTableIsAnErrorNeverNoHistory) {
    using Outcome = std::pair<bool, std::string>; // answered, problem
    const auto outcomeOf = [](const auto& result) {
        return Outcome(result.HasValue(), result.Problem());
    };
    const DriveIdentity drive = Reading(0, 0).drive;
    const struct {
        const char* name;
        std::function<Outcome(const CHistoryStore&)> query;
        const char* tables; // the tables it reads
    } queries[] = {
        {"KnownDrives", [&](const CHistoryStore& s) { return outcomeOf(s.KnownDrives()); },
         "drives"},
        {"LastSeen", [&](const CHistoryStore& s) { return outcomeOf(s.LastSeen(drive)); },
         "drives"},
        {"Readings", [&](const CHistoryStore& s) { return outcomeOf(s.Readings(drive, 5)); },
         "drives samples"},
        {"SampleAt", [&](const CHistoryStore& s) { return outcomeOf(s.SampleAt(drive, 5, kNow)); },
         "drives samples"},
        {"FirstSample", [&](const CHistoryStore& s) { return outcomeOf(s.FirstSample(drive, 5)); },
         "drives samples"},
        {"LastRawOtherThan",
         [&](const CHistoryStore& s) { return outcomeOf(s.LastRawOtherThan(drive, 5, 0)); },
         "drives samples"},
        {"LastRawChanges",
         [&](const CHistoryStore& s) { return outcomeOf(s.LastRawChanges(drive)); },
         "drives series samples"},
    };
    for (const char* table : {"drives", "series", "samples"}) {
        TempFolder folder;
        const std::string path = folder / kHistoryFileName;
        WriteHistory(path, 1, 3);
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, (std::string("DROP TABLE ") + table).c_str(), nullptr, nullptr,
                               nullptr),
                  SQLITE_OK);
        sqlite3_close(db);
        CHistoryStore store;
        ASSERT_TRUE(store.Open(path, CHistoryStore::Access::Read)) << table;
        for (const auto& q : queries) {
            const bool needed = std::string(q.tables).find(table) != std::string::npos;
            const auto [answered, problem] = q.query(store);
            EXPECT_EQ(answered, !needed) << q.name << " without " << table;
            EXPECT_EQ(problem.find("no such table: ") != std::string::npos, needed)
                << q.name << " without " << table << ": " << problem;
        }
    }
}

// A collector killed in the middle of writing its run: a child process
// begins a transaction large enough to spill into the database file, says
// so through a pipe, and is killed there.
void InterruptWrite(const std::string& path) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        sqlite3* db = nullptr;
        const bool spilled = sqlite3_open(path.c_str(), &db) == SQLITE_OK &&
                             sqlite3_exec(db,
                                          "PRAGMA cache_size = 2; BEGIN; "
                                          "UPDATE samples SET raw = raw + 1000000; "
                                          "UPDATE drives SET last_seen = 0;",
                                          nullptr, nullptr, nullptr) == SQLITE_OK;
        const char done = spilled ? 'y' : 'n';
        (void)!write(ready[1], &done, 1);
        pause();
        _exit(0);
    }
    close(ready[1]);
    char done = 0;
    ASSERT_EQ(read(ready[0], &done, 1), 1);
    close(ready[0]);
    kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_EQ(done, 'y');
}

TEST(HistoryFile, AReaderOfAnInterruptedWriteSeesTheLastCompleteRun) {
    TempFolder folder;
    ASSERT_EQ(chmod(folder.Path().c_str(), 0755), 0); // others may read, not write
    const std::string path = folder / kHistoryFileName;
    WriteHistory(path, 4, 40);
    std::string problem;
    const std::string committed = ReadAll(path, problem);
    ASSERT_FALSE(committed.empty()) << problem;

    InterruptWrite(path);
    struct stat journal {};
    ASSERT_EQ(stat((path + "-journal").c_str(), &journal), 0);
    ASSERT_GT(journal.st_size, 0);

    std::string why;
    const UnprivilegedOutcome outcome = CheckUnprivileged(
        [&] {
            std::string reason;
            const std::string read = ReadAll(path, reason);
            if (read != committed) {
                std::fprintf(stderr, "read %zu bytes, not the last run: %s\n", read.size(),
                             reason.c_str());
            }
            return read == committed;
        },
        why);
    if (outcome == UnprivilegedOutcome::CannotDrop) {
        GTEST_SKIP() << why;
    }
    EXPECT_EQ(outcome, UnprivilegedOutcome::Holds) << why;
    // The reader left the folder as it was: the next collection repairs it.
    EXPECT_EQ(stat((path + "-journal").c_str(), &journal), 0);
    std::string ignored;
    CHistoryStore writer;
    ASSERT_TRUE(writer.Open(path, CHistoryStore::Access::Write));
    EXPECT_EQ(ReadAll(path, ignored), committed);
}

TEST(HistoryFile, AReadingFromTheFutureIsNotRecorded) {
    TempFolder folder;
    CTestClock clock;
    CHistoryStore store(clock);
    ASSERT_TRUE(store.Open(folder / kHistoryFileName, CHistoryStore::Access::Write));
    const struct {
        std::int64_t time;
        bool recorded;
    } cases[] = {{kNow + kDay, true}, {kNow + kDay + 1, false}, {kNow + 3650 * kDay, false}};
    for (const auto& c : cases) {
        const auto recorded = store.RecordRun(c.time, {Reading(0, c.time)});
        const std::string& problem = recorded.Problem();
        EXPECT_EQ(recorded.HasValue(), c.recorded) << c.time;
        EXPECT_EQ(problem.find("ahead of the system clock") != std::string::npos, !c.recorded)
            << problem;
    }
    const auto seen = store.LastSeen(Reading(0, 0).drive);
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen.Value(), kNow + kDay);
}

// A damaged layout is named: SQLite forgets why a statement failed once a
// later one is prepared.
TEST(HistoryFile, AMissingTableIsNamedWhenARunCannotBeWritten) {
    TempFolder folder;
    WriteHistory(folder / kHistoryFileName, 1, 1);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((folder / kHistoryFileName).c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "DROP TABLE drives", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    CTestClock clock;
    CHistoryStore store(clock);
    ASSERT_TRUE(store.Open(folder / kHistoryFileName, CHistoryStore::Access::Write));
    const auto recorded = store.RecordRun(kNow, {Reading(0, 1)});
    EXPECT_FALSE(recorded);
    EXPECT_NE(recorded.Problem().find("no such table: drives"), std::string::npos)
        << recorded.Problem();
}

TEST(HistoryFile, TheLatestReadingOfASecondWins) {
    const struct {
        const char* name;
        std::int64_t first;
        std::int64_t second;
    } cases[] = {{"back to the value before", 200, 100},
                 {"another value", 200, 300},
                 {"the same twice", 200, 200}};
    for (const auto& c : cases) {
        TempFolder folder;
        CTestClock clock;
        CHistoryStore store(clock);
        ASSERT_TRUE(store.Open(folder / kHistoryFileName, CHistoryStore::Access::Write));
        const DriveIdentity drive{"MODEL", "SERIAL"};
        ASSERT_TRUE(store.RecordRun(kNow - 60, {{drive, {{5, 100, 100, 10, 100}}}}));
        ASSERT_TRUE(store.RecordRun(kNow, {{drive, {{5, 100, 100, 10, c.first}}}}));
        ASSERT_TRUE(store.RecordRun(kNow, {{drive, {{5, 100, 100, 10, c.second}}}}));
        const auto at = store.SampleAt(drive, 5, kNow);
        ASSERT_TRUE(at && at.Value()) << c.name;
        EXPECT_EQ(at.Value()->sample.raw, c.second) << c.name;
    }
}

TEST(HistoryFile, ThinningLeftAheadByAClockFaultResumes) {
    TempFolder folder;
    const std::string path = folder / kHistoryFileName;
    CTestClock clock;
    CHistoryStore store(clock);
    ASSERT_TRUE(store.Open(path, CHistoryStore::Access::Write));
    const DriveIdentity drive{"MODEL", "SERIAL"};
    // An older run thinned as if it were ten years later.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "INSERT INTO meta(key, value) VALUES('thinned_until', 2100000000)",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    // Four readings a day, 100 days up to the clock.
    const std::int64_t start = (kNow - 100 * kDay) / kDay * kDay;
    for (std::int64_t t = start; t <= kNow; t += kDay / 4) {
        clock.now = t;
        ASSERT_TRUE(store.RecordRun(t, {{drive, {{194, 100, 100, 0, t / 3600}}}}));
    }
    const auto points = store.Readings(drive, 194);
    ASSERT_TRUE(points);
    const std::int64_t cutoff = (kNow - CHistoryStore::kFullResolutionSeconds) / kDay * kDay;
    std::map<std::int64_t, int> perOldDay;
    for (const HistoryPoint& point : points.Value()) {
        if (point.time < cutoff) {
            ++perOldDay[point.time / kDay];
        }
    }
    EXPECT_FALSE(perOldDay.empty());
    for (const auto& [day, count] : perOldDay) {
        EXPECT_EQ(count, 1) << "day " << day << " was not thinned";
    }
}

} // namespace
