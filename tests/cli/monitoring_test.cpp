#include "cli/monitoring_output.h"
#include "cli/report_command.h"
#include "config/program_folder.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <sstream>

namespace {

const char kHealthy[] = "[HDDINFO]\nMODEL=WDC WD20EFRX\nSERIAL_NUMBER=WD-1\n[SMARTS]\n"
                        "ATTR_5=200,200,140,0,0\nATTR_194=118,100,0,34,0\n";

TEST(CheckCommand, StatusLineAndExitFollowTheWorstDrive) {
    const struct {
        const char* name;
        std::vector<std::string> reports;
        int status;
        const char* start;
    } cases[] = {
        {"healthy", {kHealthy}, kCheckOk, "OK: 1 drives |"},
        {"a pending sector",
         {kHealthy, "[HDDINFO]\nMODEL=ST1\nSERIAL_NUMBER=Z1\n[SMARTS]\nATTR_197=100,100,0,8,0\n"},
         kCheckWarning,
         "WARNING: ST1 (Z1): 197 "},
        {"a red row wins over a warning",
         {"[HDDINFO]\nMODEL=ST1\nSERIAL_NUMBER=Z1\n[SMARTS]\nATTR_197=100,100,0,8,0\n",
          "[HDDINFO]\nMODEL=ST2\nSERIAL_NUMBER=Z2\n[SMARTS]\nATTR_5=1,1,36,4232,0\n"},
         kCheckCritical,
         "CRITICAL: ST2 (Z2): 5 "},
        {"no report at all", {}, kCheckUnknown, "UNKNOWN: no drive report"},
        {"a malformed report",
         {kHealthy, "[HDDINFO]\nMODEL=ST1\n[SMARTS]\nATTR_5=1,2\n"},
         kCheckUnknown,
         "UNKNOWN: "},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        SetProgramFolderForTesting(folder.Path());
        folder.Write("attr_table.ini", "[ATTR_TABLE]\nNAME_5=代替処理済みのセクタ数\n");
        for (std::size_t i = 0; i < c.reports.size(); ++i) {
            folder.Write("smart_PhysicalDrive" + std::to_string(i) + ".ini", c.reports[i]);
        }
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(RunReportCommand({"--check"}, out, err, false), c.status) << c.name;
        SetProgramFolderForTesting("");
        EXPECT_EQ(out.str().rfind(c.start, 0), 0u) << c.name << ": " << out.str();
        EXPECT_EQ(out.str().find('\n'), out.str().size() - 1) << "one line: " << c.name;
    }
}

TEST(CheckCommand, PerformanceDataCarriesTemperatureAndCriticalCounters) {
    TempFolder folder;
    SetProgramFolderForTesting(folder.Path());
    folder.Write("smart_PhysicalDrive3.ini", kHealthy);
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunReportCommand({"--check", "--temperature-limit", "30"}, out, err, false),
              kCheckWarning);
    SetProgramFolderForTesting("");
    EXPECT_NE(out.str().find("| drive3_attr5=0c;1;;0; drive3_temperature=34;30;;;\n"),
              std::string::npos)
        << out.str();
}

} // namespace
