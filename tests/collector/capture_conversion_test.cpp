// Every real capture is converted and its report checked against the
// capture's own numbers, plus hand-checked values for the interesting cases.

#include "collector/capture_reading.h"
#include "collector/smart_report.h"
#include "collector_test_support.h"

#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <string>

namespace {

using Values = std::map<std::string, std::string>;

struct NoReportCase {
    const char* file;
    CaptureOutcome outcome;
    const char* problemPart;
};

const NoReportCase kCapturesWithoutReport[] = {
    {"plasma-disks/invalid-cmdline-bad-usb-bridge.json", CaptureOutcome::Failed,
     "Unknown USB bridge"},
    {"smartctl_exporter/nonexistent-device.json", CaptureOutcome::Failed,
     "Unable to detect device type"},
    {"smart-prom-next/nvme_xall_error.json", CaptureOutcome::PermissionDenied, "Permission denied"},
    // Scan outputs hold no drive of their own.
    {"smart-prom-next/nvme_scan_open_error.json", CaptureOutcome::Failed, "holds no drive"},
    {"smart-prom-next/scsi_scan.json", CaptureOutcome::Failed, "holds no drive"},
};

CaptureReading ReadCaptureFileForTest(const std::string& relative) {
    return ReadCapture(ReadText(CapturePath(relative)), 0);
}

Values ConvertedValues(const std::string& relative) {
    const CaptureReading reading = ReadCaptureFileForTest(relative);
    EXPECT_EQ(reading.outcome, CaptureOutcome::Report) << relative << ": " << reading.problem;
    return ParseReportText(FormatReportIni(reading.report));
}

// The report's five fields as the capture states them; the fifth is bits 32
// to 47 of raw.value.
std::string ExpectedAtaLine(const nlohmann::json& entry) {
    const std::uint64_t raw = entry["raw"]["value"].get<std::uint64_t>();
    const std::uint64_t high = (raw / 4294967296u) % 65536u;
    return std::to_string(entry["value"].get<int>()) + "," +
           std::to_string(entry["worst"].get<int>()) + "," +
           std::to_string(entry["thresh"].get<int>()) + "," + ExpectedRawText(entry["raw"]) + "," +
           std::to_string(high);
}

std::string CounterLine(const nlohmann::json& value) {
    return "100,100,0," + std::to_string(value.get<std::int64_t>()) + ",0";
}

class CaptureWithReport : public testing::TestWithParam<const char*> {};

TEST_P(CaptureWithReport, ReportHoldsTheCapturesOwnNumbers) {
    SKIP_WITHOUT_FIXTURES();
    const nlohmann::json capture = nlohmann::json::parse(ReadText(CapturePath(GetParam())));
    const Values values = ConvertedValues(GetParam());
    EXPECT_EQ(values.count("DUPLICATE"), 0u);

    // smartctl 7.3 and later name SCSI drives scsi_model_name and scsi_revision.
    EXPECT_EQ(values.at("HDDINFO::MODEL"),
              capture.value("model_name", "") + capture.value("scsi_model_name", ""));
    EXPECT_EQ(values.at("HDDINFO::SERIAL_NUMBER"), capture["serial_number"].get<std::string>());
    EXPECT_EQ(values.at("HDDINFO::FIRMWARE_REVISION"), capture.value("firmware_version", "") +
                                                           capture.value("scsi_revision", "") +
                                                           capture.value("revision", ""));

    const std::uint64_t bytes = capture.contains("user_capacity")
                                    ? capture["user_capacity"]["bytes"].get<std::uint64_t>()
                                    : capture["nvme_total_capacity"].get<std::uint64_t>();
    EXPECT_EQ(values.at("HDDINFO::SIZE_GB"), std::to_string(bytes / 1000000000u));
    EXPECT_EQ(values.at("HDDINFO::SIZE_GIB"), std::to_string(bytes / 1073741824u));

    std::set<std::string> expectedKeys;
    if (capture.contains("ata_smart_attributes")) {
        for (const nlohmann::json& entry : capture["ata_smart_attributes"]["table"]) {
            const std::string key = "SMARTS::ATTR_" + std::to_string(entry["id"].get<int>());
            expectedKeys.insert(key);
            ASSERT_EQ(values.count(key), 1u) << key;
            EXPECT_EQ(values.at(key), ExpectedAtaLine(entry)) << key;
        }
    }
    // The NVMe log's numbers are checked by hand-worked values below; here
    // only which attributes it gives.
    const bool nvme = capture.contains("nvme_smart_health_information_log");
    if (nvme) {
        for (const int id : {9, 12, 187, 192, 194, 232, 233}) {
            expectedKeys.insert("SMARTS::ATTR_" + std::to_string(id));
        }
    }
    // smartctl's temperature where neither the ATA table nor the NVMe log has one.
    if (expectedKeys.count("SMARTS::ATTR_194") == 0 && capture.contains("temperature")) {
        expectedKeys.insert("SMARTS::ATTR_194");
        EXPECT_EQ(values.at("SMARTS::ATTR_194"), CounterLine(capture["temperature"]["current"]));
    }

    // The drive's verdict: smartctl's assessment, or any NVMe critical warning bit.
    if (capture.contains("smart_status") || nvme) {
        const int warning =
            nvme ? capture["nvme_smart_health_information_log"]["critical_warning"].get<int>() : 0;
        const bool failing = !capture["smart_status"]["passed"].get<bool>() || warning != 0;
        const int raw = nvme ? warning : (failing ? 1 : 0);
        expectedKeys.insert("SMARTS::ATTR_255");
        EXPECT_EQ(values.at("SMARTS::ATTR_255"),
                  std::string(failing ? "0,0" : "100,100") + ",1," + std::to_string(raw) + ",0");
        EXPECT_EQ(values.at("HDDINFO::SMART_STATUS"), failing ? "FAILED" : "PASSED");
    } else {
        EXPECT_EQ(values.count("HDDINFO::SMART_STATUS"), 0u);
    }

    std::set<std::string> attributeKeys;
    for (const auto& [key, value] : values) {
        if (key.rfind("SMARTS::", 0) == 0) {
            attributeKeys.insert(key);
        }
    }
    if (capture["device"]["protocol"] == "SCSI") {
        // SCSI pages give the attributes they hold; their numbers are
        // checked by hand-worked values below.
        const std::set<std::string> mapped = {
            "SMARTS::ATTR_4",   "SMARTS::ATTR_5",   "SMARTS::ATTR_9",
            "SMARTS::ATTR_19",  "SMARTS::ATTR_20",  "SMARTS::ATTR_21",
            "SMARTS::ATTR_193", "SMARTS::ATTR_194", "SMARTS::ATTR_255"};
        for (const std::string& key : attributeKeys) {
            EXPECT_EQ(mapped.count(key), 1u) << key;
        }
        for (const std::string& key : expectedKeys) {
            EXPECT_EQ(attributeKeys.count(key), 1u) << key;
        }
    } else {
        EXPECT_EQ(attributeKeys, expectedKeys);
    }
}

INSTANTIATE_TEST_SUITE_P(RealCaptures, CaptureWithReport, testing::ValuesIn(kCapturesWithReport));

struct KnownValue {
    const char* file;
    const char* key;
    const char* value;
};

// Worked out by hand from the captures' raw values and smartctl's own decoding
// (files relative to the main set).
const KnownValue kKnownValues[] = {
    // 194 "33 (0 19 0 0 0)", raw.value 0x13_0000_0021: 19 packed above.
    {"smartctl_exporter/ST3500418AS_12.json", "SMARTS::ATTR_194", "33,43,0,33,19"},
    // 241 "3022432698" has bit 31 set: whole, not negative.
    {"smartctl_exporter/ST3500418AS_12.json", "SMARTS::ATTR_241", "100,253,0,3022432698,0"},
    {"smartctl_exporter/ST3500418AS_12.json", "SMARTS::ATTR_7", "55,51,30,12834215976973,2988"},
    // 9 "1335h+35m+19.580s": the hours, while raw.value is above 2^53.
    {"smart-prom-next/sat_xall.json", "SMARTS::ATTR_9", "100,100,0,1335,22428"},
    {"smartctl_exporter/sat-Seagate_Exos_X16-ST16000NM001G-2KK103-sda.json", "SMARTS::ATTR_188",
     "100,97,0,51540393996,12"},
    // 240 "12523h+17m+08.635s"
    {"smartctl_exporter/sat-Seagate_Exos_X16-ST16000NM001G-2KK103-sda.json", "SMARTS::ATTR_240",
     "100,253,0,12523,45595"},
    // Spin-up time "346 (Average 342)": 25792217434 as a whole.
    {"smartctl_exporter/sat-Western_Digital_Ultrastar_DC_HC550-WDC__WUH721816ALE6L4-sdx.json",
     "SMARTS::ATTR_3", "83,83,1,346,6"},
    {"smartctl_exporter/sat-Seagate_Enterprise_Capacity_3.5_HDD-ST10000NM0016-1TT101-sda.json",
     "SMARTS::ATTR_9", "62,62,0,34013,26914"},
    {"scrutiny/smart-megaraid0.json", "SMARTS::ATTR_241", "198,198,0,2754608750246,641"},
    // A SCSI drive with 260 grown defects and 535 uncorrected write errors.
    {"smartctl_exporter/SEAGATE_ST373453LC_26.json", "SMARTS::ATTR_5", "100,100,0,260,0"},
    {"smartctl_exporter/SEAGATE_ST373453LC_26.json", "SMARTS::ATTR_20", "100,100,0,535,0"},
    {"smartctl_exporter/SEAGATE_ST373453LC_26.json", "SMARTS::ATTR_194", "100,100,0,33,0"},
    {"smartctl_exporter/SEAGATE_ST373453LC_26.json", "SMARTS::ATTR_19", "100,100,0,1,0"},
    {"smartctl_exporter/SEAGATE_ST373453LC_26.json", "SMARTS::ATTR_9", "100,100,0,102880,0"},
    // 70 start-stop and 3472 load-unload cycles, 22364 hours, no verify errors.
    {"smartctl_exporter/HITACHI_H109060SESUN600G_10.json", "SMARTS::ATTR_4", "100,100,0,70,0"},
    {"smartctl_exporter/HITACHI_H109060SESUN600G_10.json", "SMARTS::ATTR_193", "100,100,0,3472,0"},
    {"smartctl_exporter/HITACHI_H109060SESUN600G_10.json", "SMARTS::ATTR_9", "100,100,0,22364,0"},
    {"smartctl_exporter/HITACHI_H109060SESUN600G_10.json", "SMARTS::ATTR_21", "100,100,0,0,0"},
    {"scrutiny/smart-scsi.json", "SMARTS::ATTR_5", "100,100,0,56,0"},
    // Temperature only in 190: attribute 194 from smartctl's figure.
    {"smartctl_exporter/SAMSUNG_MZ7WD240HAFV-00003_21.json", "SMARTS::ATTR_194", "100,100,0,27,0"},
    // Attribute 5 is failing now: value 1 below threshold 5.
    {"plasma-disks/broken.json", "SMARTS::ATTR_5", "1,1,5,1975,0"},
    {"plasma-disks/broken.json", "HDDINFO::MODEL", "Hitachi HDS721050DLE630"},
    {"smartctl_exporter/nvme-null-Samsung_SSD_970_EVO_Plus_250GB-nvme0.json", "SMARTS::ATTR_194",
     "100,100,0,35,0"},
    {"smartctl_exporter/nvme-null-Samsung_SSD_970_EVO_Plus_250GB-nvme0.json", "SMARTS::ATTR_233",
     "100,100,0,0,0"},
    {"smartctl_exporter/nvme-null-Samsung_SSD_970_EVO_Plus_250GB-nvme0.json", "SMARTS::ATTR_232",
     "100,100,10,100,0"},
    {"smartctl_exporter/nvme-null-Samsung_SSD_970_EVO_Plus_250GB-nvme0.json", "SMARTS::ATTR_9",
     "100,100,0,3149,0"},
    // NVMe log: 99 % spare (threshold 10), 3 % used, 25 power cycles, 10
    // unsafe shutdowns, 7 media errors.
    {"../smartctl-set2/scrutiny/smart-nvme-failed.json", "SMARTS::ATTR_232", "99,99,10,99,0"},
    {"../smartctl-set2/scrutiny/smart-nvme-failed.json", "SMARTS::ATTR_233", "97,97,0,3,0"},
    {"../smartctl-set2/scrutiny/smart-nvme-failed.json", "SMARTS::ATTR_12", "100,100,0,25,0"},
    {"../smartctl-set2/scrutiny/smart-nvme-failed.json", "SMARTS::ATTR_192", "100,100,0,10,0"},
    {"../smartctl-set2/scrutiny/smart-nvme-failed.json", "SMARTS::ATTR_187", "100,100,0,7,0"},
    {"../smartctl-set2/scrutiny/smart-nvme-failed.json", "SMARTS::ATTR_194", "100,100,0,35,0"},
    {"../smartctl-set2/scrutiny/smart-nvme-failed.json", "SMARTS::ATTR_9", "100,100,0,12798,0"},
    // No user_capacity: the capacity comes from nvme_total_capacity.
    {"smartctl_exporter/nvme-null-SAMSUNG_MZWLL3T2HAJQ-00005-nvme0.json", "HDDINFO::SIZE_GB",
     "3200"},
    {"smartctl_exporter/nvme-null-SAMSUNG_MZWLL3T2HAJQ-00005-nvme0.json", "HDDINFO::SIZE_GIB",
     "2980"},
    {"smartctl_exporter/WDC_WD20EFRX-68EUZN0_17.json", "HDDINFO::SIZE_GIB", "1863"},
    {"plasma-disks/invalid-vbox.json", "HDDINFO::SIZE_GB", "17"},
    // NAA 5, OUI 57, id 1234567890: 5 000039 0499602d2.
    {"smartctl_exporter/sat-Toshiba_X300-TOSHIBA_HDWE160-sdb.json", "HDDINFO::WWN",
     "0x50000390499602d2"},
    {"smartctl_exporter/sat-Toshiba_X300-TOSHIBA_HDWE160-sdb.json", "HDDINFO::DEVICE", "sdb"},
    {"smartctl_exporter/nvme-null-Samsung_SSD_970_EVO_Plus_250GB-nvme0.json", "HDDINFO::DEVICE",
     "nvme0"},
};

TEST(CaptureConversion, HandCheckedValues) {
    SKIP_WITHOUT_FIXTURES();
    for (const KnownValue& known : kKnownValues) {
        const Values values = ConvertedValues(known.file);
        const auto it = values.find(known.key);
        ASSERT_NE(it, values.end()) << known.file << " " << known.key;
        EXPECT_EQ(it->second, known.value) << known.file << " " << known.key;
    }
}

TEST(CaptureConversion, CapturesWithoutADriveOrDataGiveNoReport) {
    SKIP_WITHOUT_FIXTURES();
    for (const NoReportCase& expected : kCapturesWithoutReport) {
        const CaptureReading reading = ReadCaptureFileForTest(expected.file);
        EXPECT_EQ(reading.outcome, expected.outcome) << expected.file;
        EXPECT_NE(reading.problem.find(expected.problemPart), std::string::npos)
            << expected.file << ": " << reading.problem;
    }
}

// A capture added to the data folder without being listed above would go untested.
TEST(CaptureConversion, EveryCaptureInTheDataFolderIsListed) {
    SKIP_WITHOUT_FIXTURES();
    std::set<std::string> listed;
    for (const char* file : kCapturesWithReport) {
        listed.insert(file);
    }
    for (const NoReportCase& entry : kCapturesWithoutReport) {
        listed.insert(entry.file);
    }
    std::set<std::string> found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(CaptureFolder())) {
        if (entry.path().extension() == ".json") {
            found.insert(std::filesystem::relative(entry.path(), CaptureFolder()).string());
        }
    }
    EXPECT_EQ(found.size(), 26u);
    EXPECT_EQ(found, listed);
}

} // namespace
