// The self-test state and log as smartctl reports them for ATA, NVMe and
// SCSI drives, and the [SELFTEST] section they become.

#include "collector/self_test_log.h"
#include "collector_test_support.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace {

struct LogCase {
    const char* name;
    nlohmann::json capture;
    // Expected: protocol ("" for no log), running, remaining (-1 none),
    // number of entries, and the section line of one entry (index, text).
    std::string protocol;
    bool running;
    int remaining;
    std::size_t entries;
    std::size_t index;
    std::string line;
};

nlohmann::json AtaEntry(int type, int status, int hours) {
    return {{"type", {{"value", type}}},
            {"status", {{"value", status}, {"string", "Completed without error"}}},
            {"lifetime_hours", hours}};
}

std::string SectionLine(const SelfTestLog& log, std::size_t index) {
    const std::string section = FormatSelfTestSection(log);
    const std::string key = "ENTRY_" + std::to_string(index + 1) + "=";
    const std::size_t at = section.find("\n" + key);
    return at == std::string::npos ? ""
                                   : section.substr(at + 1, section.find('\n', at + 1) - at - 1);
}

TEST(SelfTestLog, ReadsTheThreeFormatsWithTheirStateAndNewestEntries) {
    SKIP_WITHOUT_FIXTURES();
    nlohmann::json manyEntries = nlohmann::json::array();
    for (int i = 0; i < 30; ++i) {
        manyEntries.push_back(AtaEntry(1, 0, 1000 - i));
    }
    const LogCase cases[] = {
        {"ATA standard log of a real drive, third test a read failure",
         nlohmann::json::parse(ReadText(CapturePath("plasma-disks/broken.json"))), "ATA", false, -1,
         21, 2, "ENTRY_3=extended,failed,121,4,104870168,Completed: read failure"},
        {"ATA test in progress, 70 % left",
         {{"ata_smart_data",
           {{"self_test", {{"status", {{"value", 247}, {"remaining_percent", 70}}}}}}}},
         "ATA",
         true,
         70,
         0,
         0,
         ""},
        {"ATA extended log preferred and cut to the newest 21",
         {{"ata_smart_self_test_log",
           {{"standard", {{"table", {AtaEntry(2, 0, 5)}}}},
            {"extended", {{"table", manyEntries}}}}}},
         "ATA",
         false,
         -1,
         21,
         20,
         "ENTRY_21=short,ok,0,980,,Completed without error"},
        {"ATA captive extended test interrupted by a reset",
         {{"ata_smart_self_test_log", {{"standard", {{"table", {AtaEntry(0x82, 0x20, 7)}}}}}}},
         "ATA",
         false,
         -1,
         1,
         0,
         "ENTRY_1=extended,interrupted,32,7,,Completed without error"},
        {"NVMe test running, a failed segment in the log",
         {{"nvme_self_test_log",
           {{"current_self_test_operation", {{"value", 1}}},
            {"current_self_test_completion_percent", 30},
            {"table",
             {{{"self_test_code", {{"value", 2}}},
               {"self_test_result", {{"value", 7}, {"string", "Completed: failed segments"}}},
               {"power_on_hours", 812},
               {"lba", 4096}},
              {{"self_test_code", {{"value", 1}}}, {"self_test_result", {{"value", 15}}}}}}}}},
         "NVMe",
         true,
         70,
         1,
         0,
         "ENTRY_1=extended,failed,7,812,4096,Completed: failed segments"},
        {"SCSI log, newest a failed background long test",
         {{"scsi_self_test_0",
           {{"code", {{"value", 2}}},
            {"result", {{"value", 5}, {"string", "Failed in second segment"}}},
            {"power_on_time", {{"hours", 90}}},
            {"lba_first_failure", {{"value", 123456}}}}},
          {"scsi_self_test_1",
           {{"code", {{"value", 1}}}, {"result", {{"value", 0}, {"string", "Completed"}}}}}},
         "SCSI",
         false,
         -1,
         2,
         0,
         "ENTRY_1=extended,failed,5,90,123456,Failed in second segment"},
        {"malformed fields: wrong types are left out, the rest stays",
         {{"ata_smart_data", {{"self_test", {{"status", "busy"}}}}},
          {"ata_smart_self_test_log",
           {{"standard",
             {{"table",
               {{{"type", "short"}, {"status", {{"value", 0}}}},
                {{"type", {{"value", 1}}}, {"status", {{"value", 300}}}},
                {{"type", {{"value", 1}}}, {"status", {{"value", 0x73}}}, {"lba", -5}}}}}}}}},
         "ATA",
         false,
         -1,
         1,
         0,
         "ENTRY_1=short,failed,115,,,"},
        {"no self-test data at all", {{"model_name", "X"}}, "", false, -1, 0, 0, ""},
        {"not an object", nlohmann::json::array({1, 2}), "", false, -1, 0, 0, ""},
    };
    for (const LogCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto log = ReadSelfTestLog(c.capture);
        if (c.protocol.empty()) {
            EXPECT_FALSE(log);
            continue;
        }
        ASSERT_TRUE(log);
        EXPECT_EQ(log->protocol, c.protocol);
        EXPECT_EQ(log->inProgress, c.running);
        EXPECT_EQ(log->remainingPercent.value_or(-1), c.remaining);
        EXPECT_EQ(log->entries.size(), c.entries);
        if (!c.line.empty()) {
            EXPECT_EQ(SectionLine(*log, c.index), c.line);
        }
        const std::string section = FormatSelfTestSection(*log);
        EXPECT_NE(section.find(c.running ? "\nSTATE=running\n" : "\nSTATE=idle\n"),
                  std::string::npos);
        EXPECT_NE(section.find("\nENTRY_COUNT=" + std::to_string(c.entries) + "\n"),
                  std::string::npos);
    }
}

} // namespace
