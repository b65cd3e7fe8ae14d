#include "cli/display_width.h"
#include "cli/report_command.h"
#include "cli/report_output.h"
#include "config/program_folder.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char kFailingReport[] = "[HDDINFO]\n"
                              "MODEL=WDC WD20EFRX-68EUZN0\n"
                              "SERIAL_NUMBER=WD-TEST0001\n"
                              "FIRMWARE_REVISION=82.00A82\n"
                              "SIZE_GB=2000\n"
                              "SIZE_GIB=1863\n"
                              "[SMARTS]\n"
                              "ATTR_5=1,1,5,2048,0\n"
                              "ATTR_9=90,90,0,43210,0\n"
                              "ATTR_194=118,100,0,34,0\n";

class ReportCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetProgramFolderForTesting(m_folder.Path());
        m_folder.Write("attr_table.ini", "[ATTR_TABLE]\nNAME_5=代替処理済みのセクタ数\nUNIT_5=個\n"
                                         "NAME_194=温度\nUNIT_194=℃\nSIZE_194=short\n");
    }
    void TearDown() override { SetProgramFolderForTesting(""); }

    int Run(const std::vector<std::string>& args) {
        m_out.str("");
        m_err.str("");
        return RunReportCommand(args, m_out, m_err, false);
    }

    std::vector<nlohmann::json> JsonLines() const {
        std::vector<nlohmann::json> lines;
        std::istringstream in(m_out.str());
        for (std::string line; std::getline(in, line);) {
            lines.push_back(nlohmann::json::parse(line));
        }
        return lines;
    }

    TempFolder m_folder;
    std::ostringstream m_out;
    std::ostringstream m_err;
};

TEST_F(ReportCommandTest, JsonCarriesThePanelTextsRowsAndRanks) {
    const std::string path = m_folder.Write("drive.ini", kFailingReport);
    ASSERT_EQ(Run({"--json", path}), kExitOk) << m_err.str();
    const auto lines = JsonLines();
    ASSERT_EQ(lines.size(), 1u);
    const nlohmann::json& report = lines[0];
    EXPECT_EQ(report["file"], path);
    const nlohmann::json expectedPanel = {
        {"vendor", "メーカ： Western Digital"},
        {"model", "モデル： WDC WD20EFRX-68EUZN0"},
        {"series", ""},
        {"capacity", "容量： 2000 GB (1,863 GiB)"},
        {"serial", "S/N： WD-TEST0001"},
        {"firmware", "Firmware Revision： 82.00A82"},
        {"temperature", "温度： 34 ℃"},
        {"power_on", "総稼動時間： 43,210 時間"},
    };
    EXPECT_EQ(report["panel"], expectedPanel);
    ASSERT_EQ(report["rows"].size(), 3u);
    EXPECT_EQ(report["rows"][0]["columns"],
              nlohmann::json({"5", "代替処理済みのセクタ数", "2,048 個", "1 (1)", "5 (-4)"}));
    EXPECT_EQ(report["rows"][0]["rank"], 1);
    EXPECT_EQ(report["rows"][2]["columns"][3], "-(-)");
    EXPECT_EQ(report["rows"][2]["rank"], 0);
    EXPECT_TRUE(report["parse_error_id"].is_null());
    EXPECT_TRUE(report["verdict"].is_null()) << "a report without SMART_STATUS";
    EXPECT_TRUE(report["self_test"].is_null()) << "a report without [SELFTEST]";
    EXPECT_EQ(report.size(), 6u);
}

TEST_F(ReportCommandTest, JsonCarriesTheSelfTestStateAndLog) {
    const std::string path = m_folder.Write(
        "testing.ini", std::string(kFailingReport) +
                           "\n[SELFTEST]\nPROTOCOL=ATA\nSTATE=running\nREMAINING_PERCENT=70\n"
                           "ENTRY_COUNT=2\nENTRY_1=extended,failed,121,4,104870168,Completed: read "
                           "failure\nENTRY_2=short,ok,0,,,\"quoted\"\n");
    ASSERT_EQ(Run({"--json", path}), kExitOk) << m_err.str();
    const nlohmann::json expected = {
        {"state", "running"},
        {"schedule_enabled", false},
        {"remaining_percent", 70},
        {"entries",
         {{{"type", "extended"},
           {"outcome", "failed"},
           {"code", 121},
           {"hours", 4},
           {"lba", 104870168},
           {"text", "Completed: read failure"}},
          {{"type", "short"},
           {"outcome", "ok"},
           {"code", 0},
           {"hours", nullptr},
           {"lba", nullptr},
           {"text", "\"quoted\""}}}},
    };
    EXPECT_EQ(JsonLines().at(0)["self_test"], expected);
}

TEST_F(ReportCommandTest, TableShowsTheSelfTestStateAndLogAlignedUnderTheAttributes) {
    const std::string path = m_folder.Write(
        "testing.ini", std::string(kFailingReport) +
                           "\n[SELFTEST]\nPROTOCOL=ATA\nSTATE=running\nREMAINING_PERCENT=70\n"
                           "ENTRY_COUNT=2\nENTRY_1=extended,failed,121,4,104870168,Completed: read "
                           "failure\nENTRY_2=short,ok,0,,,\"quoted\"\n");
    ASSERT_EQ(Run({path}), kExitOk) << m_err.str();
    const std::string expected =
        "  自己診断： 実行中（残り 70 %）\n"
        "\n"
        "    種類   結果     使用時間 最初の不良LBA 詳細\n"
        "  ! 拡張   失敗     4 時間   104870168     Completed: read failure\n"
        "    短時間 正常終了 -        -             \"quoted\"\n";
    const std::string text = m_out.str();
    EXPECT_NE(text.find(expected), std::string::npos) << text;
    EXPECT_GT(text.find(expected), text.find("代替処理済みのセクタ数")) << text;
}

TEST_F(ReportCommandTest, ShowsTheDrivesOwnVerdictWhereTheReportHasOne) {
    std::string failed = kFailingReport;
    failed.insert(failed.find("[SMARTS]"), "SMART_STATUS=FAILED\n");
    const std::string path = m_folder.Write("failed.ini", failed);
    ASSERT_EQ(Run({"--json", path}), kExitOk);
    EXPECT_EQ(JsonLines().at(0)["verdict"], "FAILED");
    ASSERT_EQ(Run({path}), kExitOk);
    EXPECT_NE(m_out.str().find("  ドライブの判定： FAILED\n"), std::string::npos) << m_out.str();

    ASSERT_EQ(Run({m_folder.Write("plain.ini", kFailingReport)}), kExitOk);
    EXPECT_EQ(m_out.str().find("判定"), std::string::npos) << m_out.str();
}

TEST_F(ReportCommandTest, ExitStatusTellsMissingFilesFromMalformedReports) {
    const std::string good = m_folder.Write("good.ini", kFailingReport);
    const std::string bad = m_folder.Write("bad.ini", "[SMARTS]\nATTR_1=1,1,1,1,1\nATTR_7=1,2\n");
    const std::string directory = m_folder.Path();
    struct Case {
        std::vector<std::string> args;
        int status;
        std::size_t objects;
    };
    const Case cases[] = {
        {{"--json", good}, kExitOk, 1},
        {{"--json", good, m_folder.Path() + "/none.ini"}, kExitUnreadable, 1},
        {{"--json", directory}, kExitUnreadable, 0},
        {{"--json", bad}, kExitParseError, 1},
        {{"--json", bad, m_folder.Path() + "/none.ini"}, kExitParseError, 1},
        {{"--bogus"}, kExitUsage, 0},
        {{"--prometheus", "--out", ""}, kExitUsage, 0},
        {{"--temperature-limit", "", good}, kExitUsage, 0},
        {{"--json", "--", "--json"}, kExitUnreadable, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.args), c.status) << c.args.back() << "\n" << m_err.str();
        if (c.status != kExitUsage) {
            EXPECT_EQ(JsonLines().size(), c.objects) << c.args.back();
        }
    }
    Run({"--json", bad});
    const auto lines = JsonLines();
    EXPECT_EQ(lines[0]["parse_error_id"], 7);
    EXPECT_EQ(lines[0]["rows"].size(), 1u);
    EXPECT_NE(m_err.str().find("解析エラー。INIファイルが不正です。"), std::string::npos);
}

TEST_F(ReportCommandTest, WithoutArgumentsShowsEveryDriveOfTheProgramFolder) {
    for (int n : {0, 3, 1049, 1050, -1}) {
        m_folder.Write("smart_PhysicalDrive" + std::to_string(n) + ".ini",
                       "[HDDINFO]\nMODEL=M" + std::to_string(n) + "\n");
    }
    ASSERT_EQ(Run({"--json"}), kExitOk);
    std::vector<std::string> models;
    for (const auto& report : JsonLines()) {
        models.push_back(report["panel"]["model"]);
    }
    EXPECT_EQ(models, (std::vector<std::string>{"モデル： M0", "モデル： M3", "モデル： M1049"}));
}

TEST_F(ReportCommandTest, TextOutputMarksFailingRows) {
    const std::string path = m_folder.Write("drive.ini", kFailingReport);
    ASSERT_EQ(Run({path}), kExitOk);
    const std::string text = m_out.str();
    EXPECT_NE(text.find("  ! 5 "), std::string::npos) << text;
    EXPECT_NE(text.find("    9 "), std::string::npos) << text;
    EXPECT_EQ(text.find("\x1b["), std::string::npos) << "no colour when not asked";
    std::ostringstream coloured;
    std::ostringstream err;
    RunReportCommand({path}, coloured, err, true);
    EXPECT_NE(coloured.str().find("\x1b[31m  ! 5 "), std::string::npos);
}

TEST(JsonString, EscapesQuotesBackslashesAndControlCharacters) {
    EXPECT_EQ(JsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(JsonString(std::string("\n\t\x01\x7f", 4)), "\"\\n\\t\\u0001\\u007f\"");
    EXPECT_EQ(JsonString("温度 ℃"), "\"温度 ℃\"");
}

TEST(JsonString, ReplacesBytesThatAreNotUtf8) {
    // File names come from the command line and may be any bytes; the
    // output must stay JSON, which is UTF-8.
    const std::pair<std::string, std::string> cases[] = {
        {"bad\xFF.ini", "\"bad\xEF\xBF\xBD.ini\""},
        {"\xE6\xB8", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},                 // a cut character
        {"\xC0\xAF", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},                 // an overlong slash
        {"\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""}, // a surrogate
        {"\x89\xB7温", "\"\xEF\xBF\xBD\xEF\xBF\xBD温\""},             // CP932 before UTF-8
    };
    for (const auto& [text, json] : cases) {
        EXPECT_EQ(JsonString(text), json) << text;
        EXPECT_TRUE(nlohmann::json::accept(JsonString(text))) << text;
    }
}

TEST(DisplayWidth, CountsWideCharactersTwice) {
    const std::pair<const char*, std::size_t> cases[] = {
        {"", 0},       {"ID", 2},   {"概要", 4}, {"点数(ﾜｰｽﾄ)", 10},
        {"？？？", 6}, {"38 ℃", 4}, {"\xE6", 1}, // a truncated sequence still counts, and reads no
                                                 // further
    };
    for (const auto& [text, width] : cases) {
        EXPECT_EQ(DisplayWidth(text), width) << text;
    }
    EXPECT_EQ(PadToWidth("値", 5), "値   ");
    EXPECT_EQ(PadToWidth("long", 2), "long");
}

} // namespace
