// Malformed and unusual smartctl output: every case has a defined result.

#include "collector/capture_conversion.h"
#include "collector/capture_reading.h"
#include "collector/smart_report.h"
#include "collector_test_support.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <string>

namespace {

// The report line of attribute 5 for one attribute table entry, or "absent".
std::string Attribute5For(const std::string& entry) {
    const std::string text = R"({"smartctl":{"exit_status":0},"model_name":"M",)"
                             R"("ata_smart_attributes":{"table":[)" +
                             entry + "]}}";
    const CaptureReading reading = ReadCapture(text, 0);
    EXPECT_EQ(reading.outcome, CaptureOutcome::Report) << entry << ": " << reading.problem;
    const auto values = ParseReportText(FormatReportIni(reading.report));
    const auto it = values.find("SMARTS::ATTR_5");
    return it == values.end() ? "absent" : it->second;
}

struct AttributeCase {
    const char* name;
    const char* entry;
    const char* expected;
};

const AttributeCase kAttributeCases[] = {
    {"plain", R"({"id":5,"value":100,"worst":90,"thresh":10,"raw":{"value":7}})", "100,90,10,7,0"},
    {"worst missing reads as the value", R"({"id":5,"value":80,"thresh":10,"raw":{"value":7}})",
     "80,80,10,7,0"},
    {"thresh missing reads as 0", R"({"id":5,"value":80,"worst":70,"raw":{"value":7}})",
     "80,70,0,7,0"},
    {"value missing drops the attribute", R"({"id":5,"worst":70,"thresh":10,"raw":{"value":7}})",
     "absent"},
    {"value as a string drops it", R"({"id":5,"value":"100","worst":90,"thresh":10})", "absent"},
    {"value beyond 32 bits drops it", R"({"id":5,"value":4294967296,"worst":90,"thresh":10})",
     "absent"},
    {"negative threshold is kept", R"({"id":5,"value":1,"worst":1,"thresh":-1,"raw":{"value":0}})",
     "1,1,-1,0,0"},
    {"raw missing", R"({"id":5,"value":100,"worst":100,"thresh":10})", "100,100,10,0,0"},
    {"raw beyond 64 bits",
     R"({"id":5,"value":100,"worst":100,"thresh":10,)"
     R"("raw":{"value":18446744073709551616}})",
     "100,100,10,0,0"},
    {"raw negative", R"({"id":5,"value":100,"worst":100,"thresh":10,"raw":{"value":-5}})",
     "100,100,10,0,0"},
    {"raw as a string", R"({"id":5,"value":100,"worst":100,"thresh":10,"raw":{"value":"5"}})",
     "100,100,10,0,0"},
    {"raw with a fraction", R"({"id":5,"value":100,"worst":100,"thresh":10,"raw":{"value":5.5}})",
     "100,100,10,0,0"},
    {"raw the largest 64-bit number is held at the signed end",
     R"({"id":5,"value":100,"worst":100,"thresh":10,"raw":{"value":18446744073709551615}})",
     "100,100,10,9223372036854775807,65535"},
    {"raw bit 31 and bit 47",
     R"({"id":5,"value":100,"worst":100,"thresh":10,)"
     R"("raw":{"value":140739635838976}})",
     "100,100,10,140739635838976,32768"},
    // smartctl's own decoding in raw.string, from real drives.
    {"number and remark",
     R"j({"id":5,"value":1,"thresh":0,"raw":{"value":25792217434,"string":"346 (Average 342)"}})j",
     "1,1,0,346,6"},
    {"number and packed fields in parentheses",
     R"j({"id":5,"value":1,"thresh":0,)j"
     R"j("raw":{"value":115594749838557,"string":"34013 (105 34 0)"}})j",
     "1,1,0,34013,26914"},
    {"duration gives its hours",
     R"({"id":5,"value":1,"thresh":0,)"
     R"("raw":{"value":5692008488255775,"string":"16671h+22m+05.274s"}})",
     "1,1,0,16671,14554"},
    {"duration in hours and minutes",
     R"({"id":5,"value":1,"thresh":0,"raw":{"value":274032,"string":"4567h+12m"}})",
     "1,1,0,4567,0"},
    {"counters side by side are the whole value",
     R"({"id":5,"value":1,"thresh":0,"raw":{"value":8589934597,"string":"0 2 5"}})",
     "1,1,0,8589934597,2"},
    {"counters with a slash are the whole value",
     R"({"id":5,"value":1,"thresh":0,"raw":{"value":6,"string":"0/6"}})", "1,1,0,6,0"},
    {"hex is the whole value",
     R"({"id":5,"value":1,"thresh":0,"raw":{"value":4660,"string":"0x1234"}})", "1,1,0,4660,0"},
    {"a remark without parentheses",
     R"({"id":5,"value":1,"thresh":0,"raw":{"value":9,"string":"12 remark"}})", "1,1,0,9,0"},
    {"an unfinished duration",
     R"({"id":5,"value":1,"thresh":0,"raw":{"value":9,"string":"12h+5"}})", "1,1,0,9,0"},
    {"a number beyond 64 bits is held",
     R"({"id":5,"value":1,"thresh":0,"raw":{"value":9,"string":"99999999999999999999"}})",
     "1,1,0,9223372036854775807,0"},
    {"the string without raw.value", R"j({"id":5,"value":1,"thresh":0,"raw":{"string":"42 (x)"}})j",
     "1,1,0,42,0"},
    {"id 0 is not an attribute", R"({"id":0,"value":100,"worst":100,"thresh":10})", "absent"},
    {"id as a string", R"({"id":"5","value":100,"worst":100,"thresh":10})", "absent"},
    {"entry that is not an object", R"(5)", "absent"},
    {"first of a repeated id wins",
     R"({"id":5,"value":1,"worst":1,"thresh":0},{"id":5,"value":2,"worst":2,"thresh":0})",
     "1,1,0,0,0"},
    {"a bad entry does not stop the table", R"(null,{"id":5,"value":3,"worst":3,"thresh":0})",
     "3,3,0,0,0"},
};

TEST(CaptureEdgeCases, AttributeEntries) {
    for (const AttributeCase& c : kAttributeCases) {
        EXPECT_EQ(Attribute5For(c.entry), c.expected) << c.name;
    }
}

TEST(CaptureEdgeCases, IdsOutsideOneTo255AreLeftOut) {
    const CaptureReading reading = ReadCapture(
        R"({"model_name":"M","ata_smart_attributes":{"table":[)"
        R"({"id":256,"value":1,"worst":1,"thresh":0},{"id":-1,"value":1,"worst":1,"thresh":0},)"
        R"({"id":255,"value":1,"worst":1,"thresh":0}]}})",
        0);
    ASSERT_EQ(reading.outcome, CaptureOutcome::Report);
    ASSERT_EQ(reading.report.attributes.size(), 1u);
    EXPECT_EQ(reading.report.attributes[0].id, 255);
}

struct DocumentCase {
    const char* name;
    const char* json;
    CaptureOutcome outcome;
    const char* key;      // checked when a report is expected
    const char* expected; // "absent" when the key must be missing
};

const DocumentCase kDocumentCases[] = {
    {"exit status 4 still has data", R"({"smartctl":{"exit_status":4},"model_name":"M"})",
     CaptureOutcome::Report, "HDDINFO::MODEL", "M"},
    {"exit status 216 still has data", R"({"smartctl":{"exit_status":216},"model_name":"M"})",
     CaptureOutcome::Report, "HDDINFO::MODEL", "M"},
    {"exit status missing", R"({"model_name":"M"})", CaptureOutcome::Report, "HDDINFO::MODEL", "M"},
    {"exit status bit 0", R"({"smartctl":{"exit_status":1},"model_name":"M"})",
     CaptureOutcome::Failed, nullptr, nullptr},
    {"exit status bit 1", R"({"smartctl":{"exit_status":6},"model_name":"M"})",
     CaptureOutcome::Failed, nullptr, nullptr},
    {"exit status not a number", R"({"smartctl":{"exit_status":"0"},"model_name":"M"})",
     CaptureOutcome::Failed, nullptr, nullptr},
    {"exit status above 255", R"({"smartctl":{"exit_status":256},"model_name":"M"})",
     CaptureOutcome::Failed, nullptr, nullptr},
    {"no drive at all", R"({"smartctl":{"exit_status":0}})", CaptureOutcome::Failed, nullptr,
     nullptr},
    {"not an object", R"([1,2,3])", CaptureOutcome::Failed, nullptr, nullptr},
    {"not JSON", "smartctl 7.3 2022-02-28", CaptureOutcome::Failed, nullptr, nullptr},
    {"empty output", "", CaptureOutcome::Failed, nullptr, nullptr},
    {"invalid UTF-8 in a string keeps the drive", "{\"model_name\":\"A\xff\xc3(\"}",
     CaptureOutcome::Report, "HDDINFO::MODEL", "A\xEF\xBF\xBD\xEF\xBF\xBD("},
    {"invalid UTF-8 outside a string", "{\"model_name\":\"A\"\xff}", CaptureOutcome::Failed,
     nullptr, nullptr},
    {"standby",
     R"j({"smartctl":{"exit_status":2,"messages":[{"string":"Device is in STANDBY mode, exit(2)",)j"
     R"j("severity":"information"}]},"device":{"name":"/dev/sda","type":"sat"}})j",
     CaptureOutcome::LowPowerMode, nullptr, nullptr},
    {"standby as the OS sees it",
     R"j({"smartctl":{"exit_status":2,"messages":[{"string":"Device is in STANDBY (OS) mode, exit(2)"}]}})j",
     CaptureOutcome::LowPowerMode, nullptr, nullptr},
    {"operation not permitted",
     R"({"smartctl":{"exit_status":2,"messages":[{"string":)"
     R"("Smartctl open device: /dev/sda failed: Operation not permitted",)"
     R"("severity":"error"}]}})",
     CaptureOutcome::PermissionDenied, nullptr, nullptr},
    {"model with control characters", "{\"model_name\":\"A\\nB\\tC\\u0085D\\u0000\"}",
     CaptureOutcome::Report, "HDDINFO::MODEL", "A B C D"},
    {"model keeps Japanese text",
     "{\"model_name\":\" \xE3\x83\x87\xE3\x82\xA3\xE3\x82\xB9\xE3\x82\xAF \"}",
     CaptureOutcome::Report, "HDDINFO::MODEL", "\xE3\x83\x87\xE3\x82\xA3\xE3\x82\xB9\xE3\x82\xAF"},
    {"serial alone makes a drive", R"({"serial_number":"S1"})", CaptureOutcome::Report,
     "HDDINFO::MODEL", ""},
    {"SCSI vendor and product",
     R"({"device":{"protocol":"SCSI"},"scsi_vendor":"SEAGATE",)"
     R"("scsi_product":"ST4000NM0023","scsi_revision":"0004",)"
     R"("model_name":"ignored"})",
     CaptureOutcome::Report, "HDDINFO::MODEL", "SEAGATE ST4000NM0023"},
    {"SCSI firmware from its revision",
     R"({"device":{"protocol":"SCSI"},"scsi_vendor":"SEAGATE",)"
     R"("scsi_revision":"0004"})",
     CaptureOutcome::Report, "HDDINFO::FIRMWARE_REVISION", "0004"},
    {"SCSI before smartctl 7.3",
     R"({"device":{"protocol":"SCSI"},"vendor":"IBM",)"
     R"("product":"ULTRIUM-TD5","revision":"D8D5"})",
     CaptureOutcome::Report, "HDDINFO::MODEL", "IBM ULTRIUM-TD5"},
    {"capacity missing leaves the sizes out", R"({"model_name":"M"})", CaptureOutcome::Report,
     "HDDINFO::SIZE_GB", "absent"},
    {"capacity as a string leaves the sizes out",
     R"({"model_name":"M","user_capacity":{"bytes":"1000000000"}})", CaptureOutcome::Report,
     "HDDINFO::SIZE_GIB", "absent"},
    {"capacity held at the 32-bit limit",
     R"({"model_name":"M","user_capacity":{"bytes":18446744073709551615}})", CaptureOutcome::Report,
     "HDDINFO::SIZE_GIB", "2147483647"},
    {"capacity just below 1 GB", R"({"model_name":"M","user_capacity":{"bytes":999999999}})",
     CaptureOutcome::Report, "HDDINFO::SIZE_GB", "0"},
    {"NVMe spare below its threshold",
     R"({"model_name":"N","nvme_smart_health_information_log":)"
     R"({"available_spare":5,"available_spare_threshold":10}})",
     CaptureOutcome::Report, "SMARTS::ATTR_232", "5,5,10,5,0"},
    {"NVMe spare without a threshold",
     R"({"model_name":"N","nvme_smart_health_information_log":{"available_spare":5}})",
     CaptureOutcome::Report, "SMARTS::ATTR_232", "absent"},
    {"NVMe wear beyond 100 %",
     R"({"model_name":"N","nvme_smart_health_information_log":{"percentage_used":150}})",
     CaptureOutcome::Report, "SMARTS::ATTR_233", "0,0,0,150,0"},
    {"NVMe counter held, not wrapped",
     R"({"model_name":"N","nvme_smart_health_information_log":{"power_on_hours":4294967301}})",
     CaptureOutcome::Report, "SMARTS::ATTR_9", "100,100,0,4294967301,0"},
    // The viewer keeps 16 bits of attribute 194: -5 would show as 65531.
    {"NVMe temperature below zero gives no line",
     R"({"model_name":"N","nvme_smart_health_information_log":{"temperature":-5}})",
     CaptureOutcome::Report, "SMARTS::ATTR_194", "absent"},
    {"NVMe temperature of zero",
     R"({"model_name":"N","nvme_smart_health_information_log":{"temperature":0}})",
     CaptureOutcome::Report, "SMARTS::ATTR_194", "100,100,0,0,0"},
    // The evaluation divides these makers' power-on count itself.
    {"Maxtor power-on minutes are written as counted",
     R"({"model_name":"Maxtor 6Y080L0","ata_smart_attributes":{"table":[{"id":9,"value":99,)"
     R"("thresh":0,"raw":{"value":600000,"string":"10000h+00m"}}]}})",
     CaptureOutcome::Report, "SMARTS::ATTR_9", "99,99,0,600000,0"},
    {"Fujitsu power-on seconds are written as counted",
     R"({"model_name":"FUJITSU MHV2080AH","ata_smart_attributes":{"table":[{"id":9,"value":99,)"
     R"("thresh":0,"raw":{"value":36000000,"string":"10000h+00m+00s"}}]}})",
     CaptureOutcome::Report, "SMARTS::ATTR_9", "99,99,0,36000000,0"},
    {"other makers' power-on duration gives its hours",
     R"({"model_name":"OCZ-VERTEX2","ata_smart_attributes":{"table":[{"id":9,"value":99,)"
     R"("thresh":0,"raw":{"value":36000000,"string":"10000h+00m+00s"}}]}})",
     CaptureOutcome::Report, "SMARTS::ATTR_9", "99,99,0,10000,0"},
    {"SCSI endurance used",
     R"({"device":{"protocol":"SCSI"},"scsi_vendor":"V",)"
     R"("scsi_percentage_used_endurance_indicator":3})",
     CaptureOutcome::Report, "SMARTS::ATTR_233", "97,97,0,3,0"},
    {"SCSI endurance beyond 100 %",
     R"({"device":{"protocol":"SCSI"},"scsi_vendor":"V",)"
     R"("scsi_percentage_used_endurance_indicator":150})",
     CaptureOutcome::Report, "SMARTS::ATTR_233", "0,0,0,150,0"},
    {"SCSI grown defects as a string give no line",
     R"({"device":{"protocol":"SCSI"},"scsi_vendor":"V","scsi_grown_defect_list":"5"})",
     CaptureOutcome::Report, "SMARTS::ATTR_5", "absent"},
    {"SCSI temperature below zero gives no line",
     R"({"device":{"protocol":"SCSI"},"scsi_vendor":"V","temperature":{"current":-5}})",
     CaptureOutcome::Report, "SMARTS::ATTR_194", "absent"},
    {"power-on time of an ATA drive without attribute 9 gives no line",
     R"({"device":{"protocol":"ATA"},"model_name":"M","power_on_time":{"hours":5}})",
     CaptureOutcome::Report, "SMARTS::ATTR_9", "absent"},
    {"ATA attribute 194 wins over smartctl's temperature",
     R"({"model_name":"M","temperature":{"current":30},"ata_smart_attributes":{"table":)"
     R"([{"id":194,"value":70,"thresh":0,"raw":{"value":31,"string":"31"}}]}})",
     CaptureOutcome::Report, "SMARTS::ATTR_194", "70,70,0,31,0"},
    // The drive's verdict on 255 and SMART_STATUS, for every drive type.
    {"failed assessment", R"({"model_name":"M","smart_status":{"passed":false}})",
     CaptureOutcome::Report, "SMARTS::ATTR_255", "0,0,1,1,0"},
    {"passed assessment", R"({"model_name":"M","smart_status":{"passed":true}})",
     CaptureOutcome::Report, "HDDINFO::SMART_STATUS", "PASSED"},
    {"NVMe warning bit fails a passed assessment",
     R"({"model_name":"N","smart_status":{"passed":true},)"
     R"("nvme_smart_health_information_log":{"critical_warning":4}})",
     CaptureOutcome::Report, "SMARTS::ATTR_255", "0,0,1,4,0"},
    {"NVMe warning without an assessment",
     R"({"model_name":"N","nvme_smart_health_information_log":{"critical_warning":0}})",
     CaptureOutcome::Report, "HDDINFO::SMART_STATUS", "PASSED"},
    {"assessment that is not a boolean gives no verdict",
     R"({"model_name":"M","smart_status":{"passed":"false"}})", CaptureOutcome::Report,
     "HDDINFO::SMART_STATUS", "absent"},
    {"a verdict alone is no drive", R"({"smart_status":{"passed":false}})", CaptureOutcome::Failed,
     nullptr, nullptr},
    {"NVMe log that is not an object",
     R"({"model_name":"N","nvme_smart_health_information_log":7})", CaptureOutcome::Report,
     "SMARTS::ATTR_9", "absent"},
    {"ATA attribute wins over the NVMe log",
     R"({"model_name":"N","ata_smart_attributes":{"table":[{"id":9,"value":99,"worst":99,)"
     R"("thresh":0,"raw":{"value":10}}]},"nvme_smart_health_information_log":{"power_on_hours":20}})",
     CaptureOutcome::Report, "SMARTS::ATTR_9", "99,99,0,10,0"},
};

TEST(CaptureEdgeCases, Documents) {
    for (const DocumentCase& c : kDocumentCases) {
        const CaptureReading reading = ReadCapture(c.json, 0);
        EXPECT_EQ(reading.outcome, c.outcome) << c.name << ": " << reading.problem;
        if (c.outcome == CaptureOutcome::Failed) {
            EXPECT_FALSE(reading.problem.empty()) << c.name;
        }
        if (c.outcome != CaptureOutcome::Report) {
            continue;
        }
        const auto values = ParseReportText(FormatReportIni(reading.report));
        const auto it = values.find(c.key);
        EXPECT_EQ(it == values.end() ? std::string("absent") : it->second, c.expected) << c.name;
    }
}

TEST(CaptureEdgeCases, ProcessExitStatusCountsWithTheCapturesOwn) {
    const char* json = R"({"smartctl":{"exit_status":0},"model_name":"M"})";
    EXPECT_EQ(ReadCapture(json, 0).outcome, CaptureOutcome::Report);
    EXPECT_EQ(ReadCapture(json, 4).outcome, CaptureOutcome::Report);
    EXPECT_EQ(ReadCapture(json, 2).outcome, CaptureOutcome::Failed);
}

TEST(CaptureEdgeCases, DeeplyNestedOutputIsRefusedBeforeParsing) {
    const std::string deep = std::string(100000, '[') + std::string(100000, ']');
    const CaptureReading reading = ReadCapture(deep, 0);
    EXPECT_EQ(reading.outcome, CaptureOutcome::Failed);
    EXPECT_NE(reading.problem.find("nested"), std::string::npos);

    // Brackets inside strings do not count.
    const std::string quoted = "{\"model_name\":\"" + std::string(1000, '[') + "\"}";
    EXPECT_EQ(ReadCapture(quoted, 0).outcome, CaptureOutcome::Report);
}

TEST(CaptureEdgeCases, ProblemOfAFailedCaptureIsOneLine) {
    const CaptureReading reading = ReadCapture(
        R"({"smartctl":{"exit_status":2,"messages":[{"string":"first\nsecond","severity":"error"}]}})",
        0);
    EXPECT_EQ(reading.outcome, CaptureOutcome::Failed);
    EXPECT_EQ(reading.problem, "first second");
}

} // namespace
