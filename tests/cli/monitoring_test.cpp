#include "cli/monitoring_output.h"
#include "cli/report_command.h"
#include "config/program_folder.h"
#include "history/history_store.h"
#include "support/temp_folder.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/time.h>

namespace {

const char kHealthy[] = "[HDDINFO]\nMODEL=WDC WD20EFRX\nSERIAL_NUMBER=WD-1\n[SMARTS]\n"
                        "ATTR_5=200,200,140,0,0\nATTR_194=118,100,0,34,0\n";
const char kPending8[] =
    "[HDDINFO]\nMODEL=ST1\nSERIAL_NUMBER=Z1\n[SMARTS]\nATTR_197=100,100,0,8,0\n";
const char kPending150[] =
    "[HDDINFO]\nMODEL=ST1\nSERIAL_NUMBER=Z1\n[SMARTS]\nATTR_197=100,100,0,150,0\n";

const char kFailedSelfTest[] = "ATTR_9=100,100,0,42,0\n[SELFTEST]\nSTATE=idle\nENTRY_COUNT=1\n"
                               "ENTRY_1=extended,failed,121,4,104870168,Completed: read failure\n";
const char kOldExtendedTest[] = "ATTR_9=100,100,0,2000,0\n[SELFTEST]\nSTATE=idle\n"
                                "SCHEDULE=enabled\nENTRY_COUNT=1\nENTRY_1=extended,ok,0,1000,,x\n";

// One stored reading of drive ST1/Z1 (attribute 197 at raw) or of another drive.
struct StoredRun {
    std::int64_t ago; // seconds before now
    DriveIdentity drive;
    std::int64_t raw;
};

std::string UtcDate(std::int64_t time) {
    const std::time_t t = static_cast<std::time_t>(time);
    std::tm parts{};
    gmtime_r(&t, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &parts);
    return text;
}

struct CheckCase {
    const char* name;
    std::vector<std::string> reports;
    std::vector<StoredRun> history;
    std::int64_t reportAge; // seconds
    std::vector<std::string> args;
    int status;
    std::string firstLine; // up to the performance data
};

TEST(CheckCommand, FirstLineAndExitFollowTheWorstProblem) {
    setenv("TZ", "UTC", 1);
    tzset();
    const std::int64_t now = std::time(nullptr);
    const DriveIdentity st1{"ST1", "Z1"};
    const CheckCase cases[] = {
        {"healthy", {kHealthy}, {}, 0, {}, kCheckOk, "OK: 1 drives"},
        {"stale: the newest reading is older than --max-age",
         {kHealthy},
         {},
         4 * 3600 + 30,
         {},
         kCheckWarning,
         "WARNING: the newest reading is 4 h 0 min old (limit 3 h 0 min)"},
        {"fresh enough for a longer --max-age",
         {kHealthy},
         {},
         4 * 3600,
         {"--max-age", "5h"},
         kCheckOk,
         "OK: 1 drives"},
        {"vanished: in the history this week, no report now",
         {kHealthy},
         {{2 * 86400, {"ST9", "Z9"}, 0}},
         0,
         {},
         kCheckWarning,
         "WARNING: ST9 (Z9): not read since " + UtcDate(now - 2 * 86400) + " (no report)"},
        {"vanished longer ago than --vanished-after",
         {kHealthy},
         {{2 * 86400, {"ST9", "Z9"}, 0}},
         0,
         {"--vanished-after", "1d"},
         kCheckOk,
         "OK: 1 drives"},
        {"falling counter: no growth",
         {kPending150},
         {{2 * 86400, st1, 184}, {3600, st1, 150}},
         0,
         {},
         kCheckWarning,
         "WARNING: ST1 (Z1): attribute 197 is 150"},
        {"rising counter: from its count a day ago",
         {kPending8},
         {{2 * 86400, st1, 0}, {3600, st1, 8}},
         0,
         {},
         kCheckWarning,
         "WARNING: ST1 (Z1): attribute 197 grew from 0 to 8"},
        {"growth older than a day is no longer rising",
         {kPending8},
         {{3 * 86400, st1, 0}, {2 * 86400, st1, 8}},
         0,
         {},
         kCheckWarning,
         "WARNING: ST1 (Z1): attribute 197 is 8"},
        {"malformed report",
         {kHealthy, "[HDDINFO]\nMODEL=ST1\nSERIAL_NUMBER=Z1\n[SMARTS]\nATTR_5=1,2\n"},
         {},
         0,
         {},
         kCheckUnknown,
         "UNKNOWN: ST1 (Z1) [smart_PhysicalDrive1.ini]: malformed report (ATTR_5)"},
        {"a failing drive is not hidden behind a malformed report",
         {"[HDDINFO]\nMODEL=ST2\nSERIAL_NUMBER=Z2\n[SMARTS]\nATTR_5=1,1,36,100,0\n",
          "[HDDINFO]\nMODEL=ST1\nSERIAL_NUMBER=Z1\n[SMARTS]\nATTR_5=1,2\n"},
         {},
         0,
         {},
         kCheckCritical,
         "CRITICAL: ST2 (Z2): attribute 5 fell below its threshold (value 1, threshold 36) (and 1 "
         "more)"},
        {"a failed self-test is critical, naming the drive and the LBA",
         {std::string(kHealthy) + kFailedSelfTest},
         {},
         0,
         {},
         kCheckCritical,
         "CRITICAL: WDC WD20EFRX (WD-1): the extended self-test failed (Completed: read "
         "failure, first failing LBA 104870168, at 4 power-on hours)"},
        {"scheduled tests and an extended test older than --extended-test-age",
         {std::string(kHealthy) + kOldExtendedTest},
         {},
         0,
         {"--extended-test-age", "30"},
         kCheckWarning,
         "WARNING: WDC WD20EFRX (WD-1): the last extended self-test was 41 days of power-on "
         "time ago (limit 30 days)"},
        {"the same test within the default age",
         {std::string(kHealthy) + kOldExtendedTest},
         {},
         0,
         {},
         kCheckOk,
         "OK: 1 drives"},
        {"no report at all", {}, {}, 0, {}, kCheckUnknown, "UNKNOWN: no drive report"},
        {"a report that holds nothing",
         {kHealthy, "\x01\x02 junk"},
         {},
         0,
         {},
         kCheckUnknown,
         "UNKNOWN: smart_PhysicalDrive1.ini: the report cannot be read"},
        {"bad option",
         {kHealthy},
         {},
         0,
         {"--max-age", "soon"},
         kCheckUnknown,
         "UNKNOWN: usage error: --max-age soon"},
    };
    for (const CheckCase& c : cases) {
        TempFolder folder;
        SetProgramFolderForTesting(folder.Path());
        for (std::size_t i = 0; i < c.reports.size(); ++i) {
            const std::string path =
                folder.Write("smart_PhysicalDrive" + std::to_string(i) + ".ini", c.reports[i]);
            const timeval times[2] = {{static_cast<time_t>(now - c.reportAge), 0},
                                      {static_cast<time_t>(now - c.reportAge), 0}};
            ASSERT_EQ(utimes(path.c_str(), times), 0);
        }
        if (!c.history.empty()) {
            CHistoryStore store;
            ASSERT_TRUE(store.Open(folder / "history.sqlite", CHistoryStore::Access::Write));
            for (const StoredRun& run : c.history) {
                ASSERT_TRUE(
                    store.RecordRun(now - run.ago, {{run.drive, {{197, 100, 100, 0, run.raw}}}}));
            }
        }
        std::vector<std::string> args{"--check"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(RunReportCommand(args, out, err, false), c.status) << c.name;
        SetProgramFolderForTesting("");
        const std::string first = out.str().substr(0, out.str().find('\n'));
        EXPECT_EQ(first.substr(0, first.find(" |")), c.firstLine) << c.name << ": " << out.str();
    }
    unsetenv("TZ");
    tzset();
}

TEST(CheckCommand, LongOutputNamesEveryProblemOnALineOfItsOwn) {
    TempFolder folder;
    SetProgramFolderForTesting(folder.Path());
    folder.Write("smart_PhysicalDrive0.ini", kPending8);
    folder.Write("smart_PhysicalDrive1.ini",
                 "[HDDINFO]\nMODEL=ST2\nSERIAL_NUMBER=Z2\n[SMARTS]\nATTR_5=1,1,36,4232,0\n");
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunReportCommand({"--check"}, out, err, false), kCheckCritical);
    SetProgramFolderForTesting("");
    std::istringstream lines(out.str());
    std::string line;
    std::vector<std::string> all;
    while (std::getline(lines, line)) {
        all.push_back(line);
    }
    ASSERT_EQ(all.size(), 3u) << out.str();
    EXPECT_EQ(all[0].rfind("CRITICAL: ST2 (Z2): attribute 5 fell ", 0), 0u);
    EXPECT_EQ(all[1].rfind("ST2 (Z2): attribute 5 fell ", 0), 0u);
    EXPECT_EQ(all[2], "ST1 (Z1): attribute 197 is 8");
}

TEST(CheckCommand, PerformanceDataIsLabelledBySerialWithRangesThatWarnAsTheCheckDoes) {
    TempFolder folder;
    SetProgramFolderForTesting(folder.Path());
    folder.Write("smart_PhysicalDrive3.ini",
                 "[HDDINFO]\nMODEL=WDC WD20EFRX\nSERIAL_NUMBER=WD-WCC4M0123456\n[SMARTS]\n"
                 "ATTR_5=200,200,140,0,0\nATTR_194=118,100,0,34,0\n");
    // Another serial ending alike: its labels get a suffix.
    folder.Write("smart_PhysicalDrive4.ini", "[HDDINFO]\nMODEL=ST1\nSERIAL_NUMBER=ZC4M0123456\n"
                                             "[SMARTS]\nATTR_5=100,100,10,0,0\n");
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunReportCommand({"--check", "--temperature-limit", "30"}, out, err, false),
              kCheckWarning);
    SetProgramFolderForTesting("");
    EXPECT_NE(out.str().find("| M0123456_attr5=0;0;;0; M0123456_temperature=34;29;;; "
                             "M0123456_2_attr5=0;0;;0;\n"),
              std::string::npos)
        << out.str();
}

TEST(ForgetCommand, AcknowledgedDriveIsNoLongerMissed) {
    TempFolder folder;
    SetProgramFolderForTesting(folder.Path());
    folder.Write("smart_PhysicalDrive0.ini", kHealthy);
    {
        CHistoryStore store;
        ASSERT_TRUE(store.Open(folder / "history.sqlite", CHistoryStore::Access::Write));
        const std::int64_t now = std::time(nullptr);
        ASSERT_TRUE(
            store.RecordRun(now - 3600, {{{"WDC WD20EFRX", "WD-1"}, {{5, 200, 200, 140, 0}}},
                                         {{"ST9", "Z9"}, {{197, 100, 100, 0, 2}}}}));
    }
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunReportCommand({"--check"}, out, err, false), kCheckWarning) << out.str();
    out.str("");
    EXPECT_EQ(RunReportCommand({"--forget", "Z9"}, out, err, false), kExitOk) << err.str();
    EXPECT_EQ(out.str(), "forgotten: ST9 (Z9)\n");
    out.str("");
    EXPECT_EQ(RunReportCommand({"--check"}, out, err, false), kCheckOk) << out.str();
    err.str("");
    EXPECT_EQ(RunReportCommand({"--forget", "Z9"}, out, err, false), kExitUnreadable);
    SetProgramFolderForTesting("");
    EXPECT_NE(err.str().find("no drive with serial number Z9"), std::string::npos) << err.str();
}

std::vector<std::string> SortedLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("tolvenar_drive_reading_timestamp_seconds", 0) != 0) {
            lines.push_back(line);
        }
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

TEST(PrometheusCommand, RenumberedReportsKeepEverySeries) {
    TempFolder folder;
    SetProgramFolderForTesting(folder.Path());
    folder.Write("smart_PhysicalDrive0.ini", kHealthy);
    folder.Write("smart_PhysicalDrive1.ini", kPending8);
    std::ostringstream before;
    std::ostringstream err;
    ASSERT_EQ(RunReportCommand({"--prometheus"}, before, err, false), kExitOk);
    std::remove((folder / "smart_PhysicalDrive0.ini").c_str());
    std::remove((folder / "smart_PhysicalDrive1.ini").c_str());
    folder.Write("smart_PhysicalDrive0.ini", kPending8);
    folder.Write("smart_PhysicalDrive7.ini", kHealthy);
    std::ostringstream after;
    ASSERT_EQ(RunReportCommand({"--prometheus"}, after, err, false), kExitOk);
    SetProgramFolderForTesting("");
    EXPECT_EQ(SortedLines(before.str()), SortedLines(after.str()));
    EXPECT_NE(
        after.str().find("tolvenar_attribute_raw{model=\"ST1\",serial=\"Z1\",id=\"197\"} 8\n"),
        std::string::npos)
        << after.str();
}

TEST(PrometheusCommand, SelfTestSeriesFollowTheLogAndTheHistory) {
    const std::int64_t seen = std::time(nullptr) - 3600;
    TempFolder folder;
    SetProgramFolderForTesting(folder.Path());
    folder.Write("smart_PhysicalDrive0.ini", kHealthy);
    folder.Write("smart_PhysicalDrive1.ini", std::string(kPending8) + kFailedSelfTest);
    folder.Write("smart_PhysicalDrive2.ini",
                 "[HDDINFO]\nMODEL=ST2\nSERIAL_NUMBER=Z2\n[SMARTS]\n[SELFTEST]\nSTATE=running\n"
                 "ENTRY_COUNT=2\nENTRY_1=short,running,249,,,x\nENTRY_2=short,aborted,16,7,,x\n");
    {
        CHistoryStore store;
        ASSERT_TRUE(store.Open(folder / "history.sqlite", CHistoryStore::Access::Write));
        DriveReading reading{{"ST1", "Z1"}, {{197, 100, 100, 0, 8}}};
        reading.selfTests = {{"extended", "failed", 121, 4, 104870168, "x"}};
        ASSERT_TRUE(store.RecordRun(seen, {reading}));
        reading.selfTests = {{"extended", "failed", 121, 5, 104870168, "x"}};
        ASSERT_TRUE(store.RecordRun(seen + 60, {reading}));
    }
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(RunReportCommand({"--prometheus"}, out, err, false), kExitOk);
    // --history lists both entries the history kept, whatever the log holds now.
    std::ostringstream history;
    ASSERT_EQ(
        RunReportCommand({"--history", folder / "smart_PhysicalDrive1.ini"}, history, err, false),
        kExitOk)
        << err.str();
    SetProgramFolderForTesting("");
    const std::string entry = " 拡張 失敗、最初の不良LBA 104870168\n";
    const std::size_t first = history.str().find(entry);
    ASSERT_NE(first, std::string::npos) << history.str();
    EXPECT_NE(history.str().find(entry, first + entry.size()), std::string::npos) << history.str();
    const struct {
        std::string series;
        bool present;
    } cases[] = {
        {"tolvenar_self_test_last_passed{model=\"ST1\",serial=\"Z1\"} 0\n", true},
        {"tolvenar_self_test_last_result_code{model=\"ST1\",serial=\"Z1\",type=\"extended\"} "
         "121\n",
         true},
        // The entry at 4 hours, not the other one the history holds.
        {"tolvenar_self_test_last_completed_timestamp_seconds{model=\"ST1\",serial=\"Z1\"} " +
             std::to_string(seen) + "\n",
         true},
        {"tolvenar_self_test_last_passed{model=\"ST2\",serial=\"Z2\"} 1\n", true},
        {"tolvenar_self_test_last_result_code{model=\"ST2\",serial=\"Z2\",type=\"short\"} 16\n",
         true},
        {"tolvenar_self_test_last_completed_timestamp_seconds{model=\"ST2\"", false},
        {"tolvenar_self_test_last_passed{model=\"WDC WD20EFRX\"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(out.str().find(c.series) != std::string::npos, c.present) << c.series << "\n"
                                                                            << out.str();
    }
}

TEST(PrometheusCommand, MetricsFileKeepsTheLastSuccessWhenARunFails) {
    EXPECT_EQ(ReadLastSuccess("# TYPE x gauge\ntolvenar_collection_last_success_timestamp_seconds "
                              "1700000000\n"),
              1700000000);
    EXPECT_EQ(ReadLastSuccess("tolvenar_collection_last_run_success 1\n"), std::nullopt);
    EXPECT_EQ(ReadLastSuccess("tolvenar_collection_last_success_timestamp_seconds 17x\n"),
              std::nullopt);
}

// The metrics file is read for the last success; a FIFO put in its place
// must not make the run wait for a writer.
TEST(PrometheusCommand, FifoInPlaceOfTheMetricsFileIsReplacedWithoutWaiting) {
    TempFolder folder;
    SetProgramFolderForTesting(folder.Path());
    folder.Write("smart_PhysicalDrive0.ini", kHealthy);
    const std::string metrics = folder / "tolvenar.prom";
    ASSERT_EQ(mkfifo(metrics.c_str(), 0600), 0);
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunReportCommand(
        {"--prometheus", "--collection-result", "failed", "--out", metrics}, out, err, false);
    SetProgramFolderForTesting("");
    EXPECT_EQ(status, kExitOk) << err.str();
    struct stat info {};
    ASSERT_EQ(stat(metrics.c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
}

} // namespace
