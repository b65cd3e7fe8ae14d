// The viewer's own evaluation of reports written from real captures shows
// what smartctl itself decoded: the temperature and the power-on hours.

#include "collector/capture_reading.h"
#include "collector/report_folder.h"
#include "collector/smart_report.h"
#include "collector_test_support.h"
#include "config/ini_store.h"
#include "config/program_folder.h"
#include "report/attribute_evaluation.h"
#include "report/format_grouped.h"
#include "report/report_files.h"

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace {

class ReportEvaluationTest : public testing::Test {
protected:
    void SetUp() override { SetProgramFolderForTesting(COLLECTOR_ATTRIBUTE_TABLE_DIR); }
    void TearDown() override { SetProgramFolderForTesting(""); }

    // Writes the report of a capture (or of JSON text) and evaluates it as the viewer does.
    ReportEvaluation Evaluate(const std::string& json) {
        const CaptureReading reading = ReadCapture(json, 0);
        EXPECT_EQ(reading.outcome, CaptureOutcome::Report) << reading.problem;
        CReportFolder folder(m_scratch.Path());
        const Result<void> written = folder.WriteReport(0, FormatReportIni(reading.report));
        EXPECT_TRUE(written) << written.Problem();

        CIniStore report;
        report.Open((m_scratch / ReportFileName(0)).c_str());
        CIniStore table;
        table.Open("attr_table.ini");
        const KeyReader readReport = [&report](const char* keyPath, const char* defaultText) {
            return std::string(report.GetString(keyPath, defaultText));
        };
        const KeyReader readTable = [&table](const char* keyPath, const char* defaultText) {
            return std::string(table.GetString(keyPath, defaultText));
        };
        return EvaluateReport(readReport, readTable);
    }

    static int RankOf(const ReportEvaluation& evaluation, int id) {
        for (const AttributeRow& row : evaluation.rows) {
            if (row.id == id) {
                return row.rank;
            }
        }
        ADD_FAILURE() << "no row for attribute " << id;
        return -1;
    }

    CScratchFolder m_scratch;
};

TEST_F(ReportEvaluationTest, ShowsSmartctlsTemperatureAndPowerOnHours) {
    SKIP_WITHOUT_FIXTURES();
    for (const char* file : kCapturesWithReport) {
        SCOPED_TRACE(file);
        const std::string text = ReadText(CapturePath(file));
        const nlohmann::json capture = nlohmann::json::parse(text);
        const ReportEvaluation evaluation = Evaluate(text);
        EXPECT_FALSE(evaluation.parseError);

        std::optional<std::string> temperature;
        if (capture.contains("temperature")) {
            temperature =
                "温度： " + std::to_string(capture["temperature"]["current"].get<int>()) + " ℃";
        }
        std::optional<std::string> powerOn;
        if (capture.contains("power_on_time")) {
            powerOn = "総稼動時間： " +
                      FormatGrouped(capture["power_on_time"]["hours"].get<int>()) + " 時間";
        }
        EXPECT_EQ(evaluation.labels.temperature, temperature);
        EXPECT_EQ(evaluation.labels.powerOnTime, powerOn);
    }
}

// Every row has a description, and every ATA row shows smartctl's decoded
// number (its low 16 bits where the table says "short"), never a negative,
// truncated or packed-field number.
TEST_F(ReportEvaluationTest, RowsHaveDescriptionsAndTheDecodedRawNumbers) {
    SKIP_WITHOUT_FIXTURES();
    CIniStore table;
    table.Open("attr_table.ini");
    for (const char* file : kCapturesWithReport) {
        SCOPED_TRACE(file);
        const std::string text = ReadText(CapturePath(file));
        const ReportEvaluation evaluation = Evaluate(text);
        for (const AttributeRow& row : evaluation.rows) {
            EXPECT_NE(row.columns[1], "？？？") << "attribute " << row.id;
        }
        const nlohmann::json capture = nlohmann::json::parse(text);
        if (!capture.contains("ata_smart_attributes")) {
            continue;
        }
        for (const nlohmann::json& entry : capture["ata_smart_attributes"]["table"]) {
            const int id = entry["id"].get<int>();
            std::uint64_t expected = std::stoull(ExpectedRawText(entry["raw"]));
            const std::string size =
                table.GetString(("ATTR_TABLE::SIZE_" + std::to_string(id)).c_str(), "");
            if (size == "short") {
                expected &= 0xFFFFu;
            }
            std::string shown;
            for (const AttributeRow& row : evaluation.rows) {
                if (row.id == id) {
                    shown = row.columns[2].substr(0, row.columns[2].find(' '));
                }
            }
            shown.erase(std::remove(shown.begin(), shown.end(), ','), shown.end());
            EXPECT_EQ(shown, std::to_string(expected)) << "attribute " << id;
        }
    }
}

TEST_F(ReportEvaluationTest, FailingAttributeAndLowNvmeSpareAreRed) {
    SKIP_WITHOUT_FIXTURES();
    // smartctl calls the drive FAILED: its verdict row is red too.
    const ReportEvaluation broken = Evaluate(ReadText(CapturePath("plasma-disks/broken.json")));
    EXPECT_EQ(RankOf(broken, 5), 1);
    EXPECT_EQ(RankOf(broken, 255), 1);

    const std::string healthy = ReadText(
        CapturePath("smartctl_exporter/nvme-null-Samsung_SSD_970_EVO_Plus_250GB-nvme0.json"));
    EXPECT_EQ(RankOf(Evaluate(healthy), 232), 0);

    nlohmann::json worn = nlohmann::json::parse(healthy);
    worn["nvme_smart_health_information_log"]["available_spare"] = 9;
    const ReportEvaluation evaluation = Evaluate(worn.dump());
    EXPECT_EQ(RankOf(evaluation, 232), 1);
    EXPECT_EQ(RankOf(evaluation, 233), 0);
    EXPECT_EQ(RankOf(evaluation, 9), 0);

    // The failing capture's only sign is its critical warning (16: backup device failed).
    const std::string failing =
        ReadText(CapturePath("smartctl_exporter/nvme-null-SAMSUNG_MZWLL3T2HAJQ-00005-nvme0.json"));
    EXPECT_EQ(RankOf(Evaluate(failing), 255), 1);
    EXPECT_EQ(RankOf(Evaluate(healthy), 255), 0);
}

} // namespace
