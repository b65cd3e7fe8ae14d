#include "report/drive_panel.h"

#include "config/ini_store.h"
#include "identify/vendor_identification.h"
#include "report/format_grouped.h"
#include "report/report_format.h"

#include <cstring>

namespace {

// A series this long or shorter is indented to sit under the model text.
constexpr std::size_t kIndentedSeriesMax = 26;

} // namespace

std::string FormatSeriesLine(const char* series) {
    const std::size_t length = std::strlen(series);
    if (length == 0) {
        return std::string();
    }
    if (length <= kIndentedSeriesMax) {
        return std::string("      (") + series + ")";
    }
    return std::string("(") + series + ")";
}

DrivePanelTexts ComputeDrivePanel(CIniStore& report, const CIniFile& vendorTable) {
    DrivePanelTexts texts;
    const char* model = report.GetString(kModelKey.Path().c_str(), "");
    char series[kSeriesBufferSize] = {};
    const char* vendor = IdentifyVendor(model, series, vendorTable);
    texts.vendor = std::string("メーカ： ") + vendor;
    texts.model = std::string("モデル： ") + model;
    texts.series = FormatSeriesLine(series);
    texts.serial = std::string("S/N： ") + report.GetString(kSerialKey.Path().c_str(), "");
    texts.firmware =
        std::string("Firmware Revision： ") + report.GetString(kFirmwareKey.Path().c_str(), "");
    const std::string gib = FormatGrouped(report.GetInt(kSizeGibKey.Path().c_str(), -1));
    const int gb = report.GetInt(kSizeGbKey.Path().c_str(), -1);
    texts.capacity = "容量： " + std::to_string(gb) + " GB (" + gib + " GiB)";
    texts.verdict = report.GetString(kVerdictKey.Path().c_str(), "");
    return texts;
}
