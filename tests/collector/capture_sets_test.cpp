// The two further sets of real captures (SAS, NVMe, USB bridges, MegaRAID,
// smartctl 6.7 to 7.5): one row per capture with its identity, temperature,
// power-on hours and verdict as the capture itself states them (the
// attribute's decoded raw text, the NVMe log, smartctl's own figures). The
// full check of every number runs over the main set in
// capture_conversion_test.cpp.

#include "collector/capture_reading.h"
#include "collector/smart_report.h"
#include "collector_test_support.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>

namespace {

struct SetCapture {
    const char* file;        // under the fixtures folder
    const char* model;       // HDDINFO::MODEL
    const char* serial;      // HDDINFO::SERIAL_NUMBER
    const char* temperature; // raw field of attribute 194, nullptr: no such line
    const char* powerOn;     // raw field of attribute 9, nullptr: no such line
    const char* verdict;     // HDDINFO::SMART_STATUS, nullptr: none
};

// clang-format off
const SetCapture kSetCaptures[] = {
    {"smartctl-set1/plasma-disks/error-info-log-failed.json", "PC300 NVMe SK hynix 256GB", "EJ77N46141180792O", "30", "158", "PASSED"},
    {"smartctl-set1/plasma-disks/failing-sectors-passing-status.json", "ST3000DM001-1ER166", "Z501MAQ5", "37", "27205", "PASSED"},
    {"smartctl-set1/plasma-disks/pass-freebsd.json", "CT500MX500SSD1", "1922E2071CCE", "31", "9106", "PASSED"},
    {"smartctl-set1/smart-prom-next/scsi_xall_limited_output.json", "QEMU QEMU HARDDISK", "", nullptr, nullptr, nullptr},
    {"smartctl-set1/smart-prom-next/usbjmicron_a_when_failed_now.json", "WDC WD3200BEVT-60ZCT0", "WD-WXE708D44602", "27", "16402", "FAILED"},
    {"smartctl-set1/smart-prom-next/usbjmicron_x_exit_status_4.json", "WDC WD2500BEVS-22UST0", "WD-WXEX07421253", "26", "4374", "PASSED"},
    {"smartctl-set1/smart-prom-next/usbsunplus_xall.json", "SAMSUNG HD204UI", "S2H7J9FB203635", "27", "3830", "PASSED"},
    {"smartctl-set1/smartctl_exporter/HGST_HUS724020ALE640_28.json", "HGST HUS724020ALE640", "REDACTED", "26", "83425", "PASSED"},
    {"smartctl-set1/smartctl_exporter/MB0500EBNCR_13.json", "MB0500EBNCR", "REDACTED", "26", "89214", "PASSED"},
    {"smartctl-set1/smartctl_exporter/nvme-null-INTEL_SSDPE2KX040T8-nvme10.json", "INTEL SSDPE2KX040T8", "REDACTED", "29", "2434", "PASSED"},
    {"smartctl-set1/smartctl_exporter/sat-Intel_S4510_S4610_S4500_S4600_Series_SSDs-INTEL_SSDSC2KB240G8-sdc.json", "INTEL SSDSC2KB240G8", "REDACTED", "20", "40786", "PASSED"},
    {"smartctl-set1/smartctl_exporter/sat-Phison_Driven_SSDs-KINGSTON_SA400M8120G-sda.json", "KINGSTON SA400M8120G", "REDACTED", "38", "4994", "PASSED"},
    {"smartctl-set1/smartctl_exporter/sat-Seagate_Enterprise_Capacity_3.5_HDD-ST10000NM0016-1TT101-sda.json", "ST10000NM0016-1TT101", "REDACTED", "25", "34013", "PASSED"},
    {"smartctl-set1/smartctl_exporter/sat-Western_Digital_Ultrastar_DC_HC550-WDC__WUH721816ALE6L4-sdx.json", "WDC  WUH721816ALE6L4", "REDACTED", "26", "20117", "PASSED"},
    {"smartctl-set2/libblockdev/HGST_HMS5C4040BLE640.json", "HGST HMS5C4040BLE640", "PL01234567890J", "35", "60390", "PASSED"},
    {"smartctl-set2/libblockdev/HGST_HUS726060ALA640.json", "HGST HUS726060ALA640", "AR01234567890C", "29", "43177", "PASSED"},
    {"smartctl-set2/libblockdev/HGST_HUSMR3280ASS200.json", "HGST HUSMR3280ASS200", "74747474X", "27", "4596", "PASSED"},
    {"smartctl-set2/libblockdev/Hitachi_HDS5C3020ALA632.json", "Hitachi HDS5C3020ALA632", "ML0123456789MK", "38", "102088", "PASSED"},
    {"smartctl-set2/libblockdev/INTEL_SSDSC2BB120G4L.json", "INTEL SSDSC2BB120G4L", "PHWL12345678901LGN", "27", "63357", "PASSED"},
    {"smartctl-set2/libblockdev/SEAGATE_ST600MP0036.json", "SEAGATE ST600MP0036", "WAF1ABCD", "29", "4665", "PASSED"},
    {"smartctl-set2/libblockdev/TOSHIBA_AL15SEB120NY.json", "TOSHIBA AL15SEB120NY", "Z9W012345678", "24", "4617", "PASSED"},
    {"smartctl-set2/libblockdev/TOSHIBA_AL15SEB18EQY.json", "TOSHIBA AL15SEB18EQY", "Y9S012345678", "25", "4616", "PASSED"},
    {"smartctl-set2/libblockdev/TOSHIBA_KPM5XMUG400G.json", "TOSHIBA KPM5XMUG400G", "99A012345678", "30", "4665", "PASSED"},
    {"smartctl-set2/libblockdev/TOSHIBA_THNSNH128GBST.json", "TOSHIBA THNSNH128GBST", "123456789012", "32", "29029", "PASSED"},
    {"smartctl-set2/libblockdev/WD4001FYYG-01SL3.json", "WD WD4001FYYG-01SL3", "WMC1F0123456", "29", "63318", "PASSED"},
    {"smartctl-set2/libblockdev/WDC_WD10EFRX-68PJCN0.json", "WDC WD10EFRX-68PJCN0", "WD-WCC4JABCDESZ", "25", "3763", "PASSED"},
    {"smartctl-set2/netdata/type-nvme-device-nvme0.json", "Seagate FireCuda 530 ZP4000GM30023", "REDACTED", "39", "3113", "PASSED"},
    {"smartctl-set2/netdata/type-nvme-device-nvme1.json", "Seagate FireCuda 530 ZP4000GM30023", "REDACTED", "36", "4733", "PASSED"},
    {"smartctl-set2/netdata/type-sat-device-hdd-sda.json", "WDC WD181KRYZ-01AGBB0", "REDACTED", "49", "8244", "PASSED"},
    {"smartctl-set2/netdata/type-sat-device-ssd-sdc.json", "WDC  WDS400T1R0A-68A4W0", "REDACTED", "27", "8244", "PASSED"},
    {"smartctl-set2/netdata/type-scsi-device-sda.json", "HGST REDACTED", "REDACTED", "34", "1641", "PASSED"},
    {"smartctl-set2/scrutiny/smart-ata-failed-scrutiny.json", "Samsung SSD 840 Series", "S14LNEACC02756X", "33", "19497", "PASSED"},
    {"smartctl-set2/scrutiny/smart-ata-full.json", "Samsung SSD 860 EVO 500GB", "S3YZNB0KB00864E", "36", "14551", "PASSED"},
    {"smartctl-set2/scrutiny/smart-ata.json", "WDC WD140EDFZ-11A0VA0", "9RK1XXXX", "32", "1730", "PASSED"},
    {"smartctl-set2/scrutiny/smart-ata2.json", "X SSD 850 PRO 128GB", "S24ZN902000L", "32", "846", "PASSED"},
    {"smartctl-set2/scrutiny/smart-megaraid0.json", "WD4000FYYX", "XXXXXXXXXXXX", "36", "37787", "PASSED"},
    {"smartctl-set2/scrutiny/smart-megaraid1.json", "WD4000FYYX", "XXXXXXXXXXXX", "36", "37788", "PASSED"},
    {"smartctl-set2/scrutiny/smart-nvme-failed.json", "Samsung SSD 970 EVO 500GB", "S466NX0M776250H", "35", "12798", "PASSED"},
    {"smartctl-set2/scrutiny/smart-nvme.json", "INTEL SSDPEKNW010T8", "BTNH93710FS91P0B", "36", "2401", "PASSED"},
    {"smartctl-set2/scrutiny/smart-nvme2.json", "Force MP510", "yes", "38", "6487", "PASSED"},
    {"smartctl-set2/scrutiny/smart-raid.json", "Intel Raid 1 Volume", "Volume1", nullptr, nullptr, nullptr},
    {"smartctl-set2/scrutiny/smart-sat.json", "", "", "29", "2725", nullptr},
    {"smartctl-set2/scrutiny/smart-scsi.json", "SEAGATE ST4000NM0043", "Z1Z5DWJK0000XXXXXXXX", "34", "43549", "PASSED"},
    {"smartctl-set2/scrutiny/smart-scsi2.json", "SEAGATE ST1200MM0088", "Z4028VRY0000C810BZXB", "31", "5675", "PASSED"},
    {"smartctl-set2/scrutiny/smartctl_info_nvme.json", "KCD61LUL3T84", "61Q0A05UT7B8", nullptr, nullptr, nullptr},
    {"smartctl-set2/scrutiny/smartctl_info_sata_smart_support_object.json", "WD Red SA500 2.5 4TB", "2433274A1T13", nullptr, nullptr, nullptr},
    {"smartctl-set2/smartctl_exporter/HITACHI_H109060SESUN600G_10.json", "HITACHI H109060SESUN600G", "REDACTED", "26", "22364", "PASSED"},
    {"smartctl-set2/smartctl_exporter/HP_73.4G_MAS3735NC_25.json", "HP 73.4G MAS3735NC", "REDACTED", "28", nullptr, "PASSED"},
    {"smartctl-set2/smartctl_exporter/KXG60ZNV512G_TOSHIBA_2.json", "KXG60ZNV512G TOSHIBA", "REDACTED", "37", "12173", "PASSED"},
    {"smartctl-set2/smartctl_exporter/SAMSUNG_MZ7WD240HAFV-00003_22.json", "SAMSUNG MZ7WD240HAFV-00003", "REDACTED", "27", "84620", "PASSED"},
    {"smartctl-set2/smartctl_exporter/SEAGATE_ST373453LC_26.json", "SEAGATE ST373453LC", "REDACTED", "33", "102880", "PASSED"},
    {"smartctl-set2/smartctl_exporter/ST3200820AS_16.json", "ST3200820AS", "REDACTED", "33", "100161", "PASSED"},
    {"smartctl-set2/smartctl_exporter/nvme-null-CT250P2SSD8-nvme0.json", "CT250P2SSD8", "REDACTED", "26", "10147", "PASSED"},
    {"smartctl-set2/smartctl_exporter/nvme-null-HUSMR7632BHP301-nvme0.json", "HUSMR7632BHP301", "REDACTED", "40", "482", "PASSED"},
    {"smartctl-set2/smartctl_exporter/nvme-null-INTEL_MEMPEK1W032GA-nvme0.json", "INTEL MEMPEK1W032GA", "REDACTED", "31", "41159", "PASSED"},
    {"smartctl-set2/smartctl_exporter/nvme-null-INTEL_SSDPE2KX020T7-nvme6.json", "INTEL SSDPE2KX020T7", "REDACTED", "19", "49441", "PASSED"},
    {"smartctl-set2/smartctl_exporter/nvme-null-INTEL_SSDPE2MX450G7-nvme0.json", "INTEL SSDPE2MX450G7", "REDACTED", "11", "22944", "PASSED"},
    {"smartctl-set2/smartctl_exporter/nvme-null-MTFDHAX1T6MCE-1AN1ZABYY-nvme0.json", "MTFDHAX1T6MCE-1AN1ZABYY", "REDACTED", "32", "29891", "PASSED"},
    {"smartctl-set2/smartctl_exporter/nvme-null-SAMSUNG_MZPLL3T2HMLS-00003-nvme1.json", "SAMSUNG MZPLL3T2HMLS-00003", "REDACTED", "40", "50235", "PASSED"},
    {"smartctl-set2/smartctl_exporter/sat-Dell_Certified_Intel_S3520_Series_SSDs-SSDSCKJB240G7R-sdm.json", "SSDSCKJB240G7R", "REDACTED", "47", "21213", "PASSED"},
    {"smartctl-set2/smartctl_exporter/sat-Hitachi_Deskstar_7K1000.C-Hitachi_HDS721010CLA332-sda.json", "Hitachi HDS721010CLA332", "REDACTED", "28", "109245", "PASSED"},
    {"smartctl-set2/smartctl_exporter/sat-Hitachi_HGST_Ultrastar_7K2-HGST_HUS722T1TALA604-sdu.json", "HGST HUS722T1TALA604", "REDACTED", "25", "32218", "PASSED"},
    {"smartctl-set2/smartctl_exporter/sat-Hitachi_Ultrastar_A7K2000-Hitachi_HUA722010CLA330-sdr.json", "Hitachi HUA722010CLA330", "REDACTED", "24", "54978", "PASSED"},
    {"smartctl-set2/smartctl_exporter/sat-Intel_S4510_S4610_S4500_S4600_Series_SSDs-INTEL_SSDSC2KB019TZ-sdr.json", "INTEL SSDSC2KB019TZ", "REDACTED", "25", "3260", "PASSED"},
    {"smartctl-set2/smartctl_exporter/sat-Micron_5100_Pro___52x0___5300_SSDs-Micron_5300_MTFDDAK960TDS-sdi.json", "Micron_5300_MTFDDAK960TDS", "REDACTED", "23", "26409", "PASSED"},
    {"smartctl-set2/smartctl_exporter/sat-Phison_Driven_SSDs-KINGSTON_SKC400S371T-sda.json", "KINGSTON SKC400S371T", "REDACTED", "31", "54450", "PASSED"},
    {"smartctl-set2/smartctl_exporter/sat-Samsung_based_SSDs-SAMSUNG_MZ7LH1T9HMLT-00005-sda.json", "SAMSUNG MZ7LH1T9HMLT-00005", "REDACTED", "24", "4717", "PASSED"},
    {"smartctl-set2/smartctl_exporter/sat-Seagate_Constellation_ES_SATA-ST32000644NS-sda.json", "ST32000644NS", "REDACTED", "27", "45080", "PASSED"},
    {"smartctl-set2/smartctl_exporter/sat-Seagate_Enterprise_Capacity_3.5_HDD-ST4000NM0035-1V4107-sdc.json", "ST4000NM0035-1V4107", "REDACTED", "29", "37119", "PASSED"},
    {"smartctl-set2/smartctl_exporter/sat-Seagate_Exos_7E8-ST8000NM000A-2KE101-sdi.json", "ST8000NM000A-2KE101", "REDACTED", "26", "21906", "PASSED"},
    {"smartctl-set2/smartctl_exporter/sat-Silicon_Motion_based_SSDs-TS32GMTS400-sda.json", "TS32GMTS400", "REDACTED", "26", "796", "PASSED"},
    {"smartctl-set2/smartctl_exporter/sat-Toshiba_3.5_HDD_MK.002TSKB-TOSHIBA_MK1002TSKB-sdb.json", "TOSHIBA MK1002TSKB", "REDACTED", "24", "73882", "PASSED"},
    {"smartctl-set2/smartctl_exporter/sat-Toshiba_MG09ACA..._Enterprise_Capacity_HDD-TOSHIBA_MG09ACA18TE-sdd.json", "TOSHIBA MG09ACA18TE", "REDACTED", "30", "4772", "PASSED"},
    {"smartctl-set2/smartctl_exporter/sat-Western_Digital_RE3_Serial_ATA-WDC_WD5002ABYS-02B1B0-sda.json", "WDC WD5002ABYS-02B1B0", "REDACTED", "26", "66857", "PASSED"},
    {"smartctl-set2/smartctl_exporter/sat-Western_Digital_Ultrastar_DC_HC550-WUH721818ALE6L4-sdd.json", "WUH721818ALE6L4", "REDACTED", "33", "926", "PASSED"},
    {"smartctl-set2/smartctl_exporter/sat-null-ST18000NM000J-2TV103-sda.json", "ST18000NM000J-2TV103", "REDACTED", "24", "1136", "PASSED"},
    {"smartctl-set2/telegraf/megaraid-response.json", "ST6000NM0115-1YZ110", "ZAD2C11G", "25", "44316", "PASSED"},
    {"smartctl-set2/telegraf/nvme-response.json", "Sabrent Rocket 4.0 1TB", "6D1107091C9583054511", "48", "8733", "PASSED"},
    {"smartctl-set2/telegraf/scsi-response.json", "XXXXXXX XXXX000OOOO", "XXXXXXX", "24", "32978", "PASSED"},
    {"smartctl-set2/telegraf/scsi_extended-response.json", "XYZZZZZZ ST100000000", "XYZZZZ", "24", "34222", "PASSED"},
    {"smartctl-set2/telegraf/usb-response.json", "SanDisk pSSD", "06c9f4c44", nullptr, "11", "PASSED"},
};
// clang-format on

// Captures without a drive: a Windows open failure and a health-only (-H) run.
const std::pair<const char*, const char*> kSetCapturesWithoutReport[] = {
    {"smartctl-set2/scrutiny/smart-fail.json", "Open failed, Error=5"},
    {"smartctl-set2/scrutiny/smart-pass.json", "holds no drive"},
};

std::string RawField(const std::map<std::string, std::string>& values, int id) {
    const auto line = values.find("SMARTS::ATTR_" + std::to_string(id));
    if (line == values.end()) {
        return "(none)";
    }
    std::string field = line->second;
    for (int i = 0; i < 3; ++i) {
        field.erase(0, field.find(',') + 1);
    }
    return field.substr(0, field.find(','));
}

std::string OrNone(const char* text) {
    return text != nullptr ? text : "(none)";
}

TEST(CaptureSets, EachCaptureGivesItsDrivesIdentityTemperatureHoursAndVerdict) {
    SKIP_WITHOUT_FIXTURES();
    for (const SetCapture& row : kSetCaptures) {
        const CaptureReading reading = ReadCapture(ReadText(FixturesFolder() + "/" + row.file), 0);
        ASSERT_EQ(reading.outcome, CaptureOutcome::Report) << row.file << ": " << reading.problem;
        std::map<std::string, std::string> values =
            ParseReportText(FormatReportIni(reading.report));
        EXPECT_EQ(values.count("DUPLICATE"), 0u) << row.file;
        EXPECT_EQ(values["HDDINFO::MODEL"], row.model) << row.file;
        EXPECT_EQ(values["HDDINFO::SERIAL_NUMBER"], row.serial) << row.file;
        EXPECT_EQ(RawField(values, 194), OrNone(row.temperature)) << row.file;
        EXPECT_EQ(RawField(values, 9), OrNone(row.powerOn)) << row.file;
        const auto verdict = values.find("HDDINFO::SMART_STATUS");
        EXPECT_EQ(verdict == values.end() ? "(none)" : verdict->second, OrNone(row.verdict))
            << row.file;
    }
    for (const auto& [file, problem] : kSetCapturesWithoutReport) {
        const CaptureReading reading = ReadCapture(ReadText(FixturesFolder() + "/" + file), 0);
        EXPECT_EQ(reading.outcome, CaptureOutcome::Failed) << file;
        EXPECT_NE(reading.problem.find(problem), std::string::npos)
            << file << ": " << reading.problem;
    }
}

// A capture added to either set without a row here would go untested.
TEST(CaptureSets, EveryCaptureOfBothSetsHasARow) {
    SKIP_WITHOUT_FIXTURES();
    std::set<std::string> listed;
    for (const SetCapture& row : kSetCaptures) {
        listed.insert(row.file);
    }
    for (const auto& entry : kSetCapturesWithoutReport) {
        listed.insert(entry.first);
    }
    std::set<std::string> found;
    for (const char* set : {"smartctl-set1", "smartctl-set2"}) {
        for (const auto& entry :
             std::filesystem::recursive_directory_iterator(CaptureFolder(set))) {
            if (entry.path().extension() == ".json") {
                found.insert(std::filesystem::relative(entry.path(), FixturesFolder()).string());
            }
        }
    }
    EXPECT_EQ(found, listed);
}

} // namespace
