#include "config/program_folder.h"
#include "report/drive_warnings.h"
#include "report/monitor_text.h"
#include "support/temp_folder.h"

#include <clocale>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

struct WarningCase {
    const char* name;
    const char* attributes; // [SMARTS] lines
    const char* verdict;    // SMART_STATUS, "" for none
    std::optional<std::int64_t> previous;
    // Expected, in order: level (1 warning, 2 failing), attribute id, text.
    std::vector<std::tuple<int, int, std::string>> expected;
};

const char kDrive[] = "WDC WD20EFRX (WD-1)";

TEST(EvaluateWarnings, OneRuleSetForFailingRowsVerdictsCountersAndTemperature) {
    const WarningCase cases[] = {
        {"healthy", "ATTR_5=200,200,140,0,0\nATTR_194=112,100,0,59,0\n", "PASSED", {}, {}},
        {"a red row",
         "ATTR_1=50,50,51,0,0\n",
         "",
         {},
         {{2, 1,
           std::string(kDrive) +
               ": 1 Read Error Rate が危険値を下回りました（値 50、危険値 51）"}}},
        {"a counter above zero, nothing known before",
         "ATTR_197=200,200,0,8,0\n",
         "",
         {},
         {{1, 197, std::string(kDrive) + ": 197 Pending Sectors が 8 です"}}},
        {"a rising counter",
         "ATTR_5=200,200,140,1234,0\n",
         "",
         1000,
         {{1, 5, std::string(kDrive) + ": 5 Reallocated が 1,000 → 1,234 に増えました"}}},
        {"a counter that has fallen says only where it is",
         "ATTR_198=200,200,0,3,0\n",
         "",
         5,
         {{1, 198, std::string(kDrive) + ": 198 Offline Uncorrectable が 3 です"}}},
        {"temperature at the limit, through the short mask",
         "ATTR_194=112,100,0,2621500,0\n",
         "",
         {},
         {{1, 194, std::string(kDrive) + ": 温度が 60 ℃ です（上限 60 ℃）"}}},
        {"the verdict without its row",
         "",
         "FAILED",
         {},
         {{2, 255, std::string(kDrive) + ": ドライブ自身の判定が FAILED です"}}},
        {"the verdict's red row stands for it",
         "ATTR_255=0,0,1,1,0\nATTR_5=200,200,140,2,0\n",
         "FAILED",
         {},
         {{2, 255, std::string(kDrive) + ": ドライブ自身の判定が FAILED です"},
          {1, 5, std::string(kDrive) + ": 5 Reallocated が 2 です"}}},
        {"a failed extended self-test behind a newer short one names its LBA",
         "[SELFTEST]\nSTATE=idle\nENTRY_COUNT=2\nENTRY_1=short,ok,0,42,,Completed without error\n"
         "ENTRY_2=extended,failed,121,4,104870168,Completed: read failure\n",
         "",
         {},
         {{2, 0,
           std::string(kDrive) + ": 拡張自己診断に失敗しました（Completed: read failure、"
                                 "最初の不良 LBA 104870168、使用時間 4 時間）"}}},
        {"a newer extended test without error clears an old failure",
         "[SELFTEST]\nSTATE=idle\nENTRY_COUNT=2\nENTRY_1=extended,ok,0,42,,Completed\n"
         "ENTRY_2=short,failed,115,4,8,Completed: read failure\n",
         "",
         {},
         {}},
        {"aborted and interrupted tests are no failure, nor a malformed entry",
         "[SELFTEST]\nSTATE=idle\nENTRY_COUNT=3\nENTRY_1=short,aborted,16,9,,x\n"
         "ENTRY_2=short,interrupted,32,8,,x\nENTRY_3=short,failed,abc,7,,x\n",
         "",
         {},
         {}},
        {"the schedule on, the last extended test 60 power-on days back",
         "ATTR_9=100,100,0,11440,0\n[SELFTEST]\nSTATE=idle\nSCHEDULE=enabled\nENTRY_COUNT=2\n"
         "ENTRY_1=short,ok,0,11400,,x\nENTRY_2=extended,ok,0,10000,,x\n",
         "",
         {},
         {{1, 0,
           std::string(kDrive) +
               ": 最後の拡張自己診断から使用時間で 60 日が経っています（上限 60 日）"}}},
        {"the schedule on, an hour short of the limit",
         "ATTR_9=100,100,0,11439,0\n[SELFTEST]\nSTATE=idle\nSCHEDULE=enabled\nENTRY_COUNT=1\n"
         "ENTRY_1=extended,ok,0,10000,,x\n",
         "",
         {},
         {}},
        {"an old extended test with the schedule off",
         "ATTR_9=100,100,0,50000,0\n[SELFTEST]\nSTATE=idle\nSCHEDULE=disabled\nENTRY_COUNT=1\n"
         "ENTRY_1=extended,ok,0,10000,,x\n",
         "",
         {},
         {}},
        {"an ATA log's 16-bit hours past 65535 are recent",
         "ATTR_9=100,100,0,70000,0\n[SELFTEST]\nSTATE=idle\nSCHEDULE=enabled\nENTRY_COUNT=1\n"
         "ENTRY_1=extended,ok,0,4400,,x\n",
         "",
         {},
         {}},
    };
    // The texts of a Japanese session: the catalog's translations.
    setenv("LC_ALL", "C.UTF-8", 1);
    setenv("LANGUAGE", "ja", 1);
    SetUpMonitorTexts(TOLVENAR_BIN_DIR "/locale");
    for (const WarningCase& c : cases) {
        TempFolder folder;
        SetProgramFolderForTesting(folder.Path());
        folder.Write("attr_table.ini", "[ATTR_TABLE]\nNAME_1=Read Error Rate\nNAME_5=Reallocated\n"
                                       "NAME_197=Pending Sectors\nNAME_198=Offline Uncorrectable\n"
                                       "NAME_255=Verdict\nSIZE_194=short\n");
        folder.Write(
            "r.ini",
            std::string("[HDDINFO]\nMODEL=WDC WD20EFRX\nSERIAL_NUMBER=WD-1\n") +
                (*c.verdict != '\0' ? std::string("SMART_STATUS=") + c.verdict + "\n" : "") +
                "[SMARTS]\n" + c.attributes);
        const DriveReport drive = CDriveLoader().Load("r.ini", "r.ini");
        const std::vector<DriveWarning> warnings = EvaluateWarnings(
            drive, {"WDC WD20EFRX", "WD-1"}, [&](int, std::int64_t) { return c.previous; },
            WarningSettings{});
        SetProgramFolderForTesting("");
        std::vector<std::tuple<int, int, std::string>> got;
        for (const DriveWarning& warning : warnings) {
            got.emplace_back(static_cast<int>(warning.level), warning.attributeId, warning.text);
        }
        EXPECT_EQ(got, c.expected) << c.name;
    }
    unsetenv("LANGUAGE");
    unsetenv("LC_ALL");
    std::setlocale(LC_MESSAGES, "C");
}

} // namespace
