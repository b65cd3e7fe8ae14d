// The whole evaluation of one report, as the viewer's selection and
// tolvenar-report run it, over stores in memory: the input is the report
// file's bytes, read with the shipped attribute and vendor tables, and once
// more with itself as the attribute table (so that table files are fuzzed
// too). Every text shown must be valid UTF-8 within its limit. Each input
// opens one store and evaluates twice: the work per input is what bounds the
// executions a run reaches.
#include "cli/report_output.h"
#include "config/ini_store.h"
#include "config/text_encoding.h"
#include "fuzz/data_file.h"
#include "fuzz/fuzz_check.h"
#include "identify/vendor_identification.h"
#include "platform/utf8.h"
#include "report/attribute_reading.h"
#include "report/drive_panel.h"
#include "report/drive_report.h"
#include "report/report_files.h"
#include "report/store_evaluation.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

namespace {

constexpr std::size_t kDisplayLimit = 255;

// The shipped attribute table, parsed once: every read gives the same answer
// whatever came before, as its contents never change (so its cache may stay).
CIniStore& AttributeTable() {
    static CIniStore table;
    static const bool opened = (table.OpenText(ReadDataFile(kAttributeTableFile)), true);
    (void)opened;
    return table;
}

const CIniFile& VendorTable() {
    static const CIniFile table = [] {
        CIniFile file;
        file.Parse(ReadDataFile(kVendorTableFile));
        return file;
    }();
    return table;
}

// What CDriveLoader::Load does with a report file, over the store opened on
// the bytes: the panel texts first, then the attribute evaluation.
DriveReport LoadFromStore(CIniStore& report) {
    DriveReport drive;
    drive.file = ReportFileName(0);
    drive.panel = ComputeDrivePanel(report, VendorTable());
    drive.evaluation = EvaluateReportStores(report, AttributeTable());
    drive.temperature = drive.evaluation.labels.temperature.value_or("");
    drive.powerOnTime = drive.evaluation.labels.powerOnTime.value_or("");
    return drive;
}

void CheckEvaluation(const ReportEvaluation& evaluation, CIniStore& report) {
    int previous = 0;
    bool has9 = false;
    bool has194 = false;
    for (const AttributeRow& row : evaluation.rows) {
        FUZZ_CHECK(row.id > previous && row.id <= 255);
        previous = row.id;
        has9 = has9 || row.id == 9;
        has194 = has194 || row.id == 194;
        FUZZ_CHECK(row.columns[0] == std::to_string(row.id));
        FUZZ_CHECK(!row.columns[1].empty());
        for (const std::string& column : row.columns) {
            FUZZ_CHECK(IsValidUtf8(column));
        }
        for (int c = 2; c < 5; ++c) {
            FUZZ_CHECK(row.columns[c].size() <= kDisplayLimit);
        }
        // The rank compares the values as read, before any rescaling.
        const std::string keyPath = "SMARTS::ATTR_" + std::to_string(row.id);
        const Result<AttributeReading> reading =
            ParseAttributeLine(report.GetString(keyPath.c_str(), ""));
        FUZZ_CHECK(reading);
        FUZZ_CHECK(row.rank == (reading->current < reading->threshold ? 1 : 0));
    }
    FUZZ_CHECK(evaluation.labels.powerOnTime.has_value() == has9);
    FUZZ_CHECK(evaluation.labels.temperature.has_value() == has194);
    if (evaluation.parseError) {
        FUZZ_CHECK(evaluation.parseErrorId > previous && evaluation.parseErrorId <= 255);
        const std::string keyPath = "SMARTS::ATTR_" + std::to_string(evaluation.parseErrorId);
        FUZZ_CHECK(!ParseAttributeLine(report.GetString(keyPath.c_str(), "")));
    }
}

// The terminal table; the JSON output's texts go through JsonString, which
// the text helpers' target checks.
void CheckOutput(const DriveReport& drive) {
    std::ostringstream text;
    WriteText(text, drive, true);
    FUZZ_CHECK(IsValidUtf8(text.str()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // The checks below read the same store the evaluation read: its cache
    // answers as a fresh store would (the INI reader's target checks that).
    CIniStore report;
    report.OpenText(bytes);
    const DriveReport drive = LoadFromStore(report);
    for (const std::string* text :
         {&drive.panel.vendor, &drive.panel.model, &drive.panel.series, &drive.panel.capacity,
          &drive.panel.serial, &drive.panel.firmware, &drive.temperature, &drive.powerOnTime}) {
        FUZZ_CHECK(IsValidUtf8(*text));
    }
    CheckEvaluation(drive.evaluation, report);
    CheckOutput(drive);

    // The same bytes as report and as attribute table. One store serves as
    // both, as a second store on the same bytes would answer the same: the
    // evaluation reads every key path with an empty default, and nothing
    // before it read the table's key paths.
    CheckEvaluation(EvaluateReportStores(report, report), report);
    return 0;
}
