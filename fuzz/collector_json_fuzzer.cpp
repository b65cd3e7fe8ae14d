// The collector's way from smartctl's JSON to a report file, as --from-json
// runs it, in memory: parse the capture, convert it, form the report text. A report
// must read back through the viewer's own readers with every identity text
// and every attribute exactly as converted, and evaluate without a parse error.
#include "collector/capture_conversion.h"
#include "collector/capture_document.h"
#include "collector/smart_report.h"
#include "config/ini_store.h"
#include "config/text_encoding.h"
#include "fuzz/data_file.h"
#include "fuzz/fuzz_check.h"
#include "platform/utf8.h"
#include "report/attribute_reading.h"
#include "report/report_files.h"
#include "report/store_evaluation.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

// The shipped attribute table, parsed once: every read gives the same answer
// whatever came before, as its contents never change (so its cache may stay).
CIniStore& AttributeTable() {
    static CIniStore table;
    static const bool opened = (table.OpenText(ReadDataFile(kAttributeTableFile)), true);
    (void)opened;
    return table;
}

void CheckText(CIniStore& store, const char* keyPath, const std::string& expected) {
    FUZZ_CHECK(expected.size() <= 255 && IsValidUtf8(expected));
    FUZZ_CHECK(store.GetString(keyPath, "\x01missing") == expected);
}

void CheckReport(const SmartReport& report) {
    const std::string text = FormatReportIni(report);
    FUZZ_CHECK(IsValidUtf8(text));

    CIniStore store;
    store.OpenText(text);
    CheckText(store, "HDDINFO::MODEL", report.model);
    CheckText(store, "HDDINFO::SERIAL_NUMBER", report.serialNumber);
    CheckText(store, "HDDINFO::FIRMWARE_REVISION", report.firmwareRevision);
    const int gb = report.capacityBytes ? CapacityGb(*report.capacityBytes) : -1;
    FUZZ_CHECK(store.GetInt("HDDINFO::SIZE_GB", -1) == gb);

    for (const AttributeReading& attribute : report.attributes) {
        FUZZ_CHECK(attribute.id >= 1 && attribute.id <= 255);
        const std::string keyPath = "SMARTS::ATTR_" + std::to_string(attribute.id);
        const Result<AttributeReading> parsed =
            ParseAttributeLine(store.GetString(keyPath.c_str(), ""));
        FUZZ_CHECK(parsed);
        const AttributeReading& reading = parsed.Value();
        FUZZ_CHECK(reading.current == attribute.current && reading.worst == attribute.worst &&
                   reading.threshold == attribute.threshold && reading.raw == attribute.raw &&
                   reading.auxiliary == attribute.auxiliary);
    }

    // The same store: the evaluation reads the model, which every report
    // holds, and the attribute lines, so no default read above can change
    // what it finds.
    const ReportEvaluation evaluation = EvaluateReportStores(store, AttributeTable());
    FUZZ_CHECK(!evaluation.parseError);
    FUZZ_CHECK(evaluation.rows.size() == report.attributes.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Result<nlohmann::json> capture =
        ParseCaptureDocument(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!capture) {
        const std::string& problem = capture.Problem();
        FUZZ_CHECK(!problem.empty() && problem.find('\n') == std::string::npos);
    } else {
        const CaptureConversion conversion = ConvertCapture(*capture);
        FUZZ_CHECK(conversion.report.has_value() == conversion.problem.empty());
        if (conversion.report) {
            CheckReport(*conversion.report);
        }
    }
    return 0;
}
