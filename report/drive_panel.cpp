#include "report/drive_panel.h"

#include "config/ini_store.h"
#include "identify/vendor_identification.h"
#include "report/format_grouped.h"

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
    const char* model = report.GetString("HDDINFO::MODEL", "");
    char series[kSeriesBufferSize] = {};
    const char* vendor = IdentifyVendor(model, series, vendorTable);
    texts.vendor = std::string("メーカ： ") + vendor;
    texts.model = std::string("モデル： ") + model;
    texts.series = FormatSeriesLine(series);
    texts.serial = std::string("S/N： ") + report.GetString("HDDINFO::SERIAL_NUMBER", "");
    texts.firmware =
        std::string("Firmware Revision： ") + report.GetString("HDDINFO::FIRMWARE_REVISION", "");
    const std::string gib = FormatGrouped(report.GetInt("HDDINFO::SIZE_GIB", -1));
    const int gb = report.GetInt("HDDINFO::SIZE_GB", -1);
    texts.capacity = "容量： " + std::to_string(gb) + " GB (" + gib + " GiB)";
    texts.verdict = report.GetString("HDDINFO::SMART_STATUS", "");
    return texts;
}
