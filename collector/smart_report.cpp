#include "collector/smart_report.h"

#include "collector/mapped_attribute.h"

#include <algorithm>

namespace {

// The INI reader takes one pair of matching quotes around a value away; a
// text that itself begins and ends with the same quote gets one more pair,
// so that it reads back as it was.
std::string IniValue(const std::string& text) {
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
        text.back() == text.front()) {
        return text.front() + text + text.back();
    }
    return text;
}

} // namespace

std::int32_t CapacityGb(std::uint64_t bytes) {
    return SaturatedInt32(bytes / 1000000000u);
}

std::int32_t CapacityGib(std::uint64_t bytes) {
    return SaturatedInt32(bytes >> 30);
}

std::string FormatReportIni(const SmartReport& report) {
    std::string text = "[HDDINFO]\n";
    text += "MODEL=" + IniValue(report.model) + "\n";
    text += "SERIAL_NUMBER=" + IniValue(report.serialNumber) + "\n";
    text += "FIRMWARE_REVISION=" + IniValue(report.firmwareRevision) + "\n";
    if (report.capacityBytes) {
        text += "SIZE_GB=" + std::to_string(CapacityGb(*report.capacityBytes)) + "\n";
        text += "SIZE_GIB=" + std::to_string(CapacityGib(*report.capacityBytes)) + "\n";
    }
    if (!report.wwn.empty()) {
        text += "WWN=" + report.wwn + "\n";
    }
    if (!report.device.empty()) {
        text += "DEVICE=" + report.device + "\n";
    }
    if (!report.verdict.empty()) {
        text += "SMART_STATUS=" + IniValue(report.verdict) + "\n";
    }
    text += "\n[SMARTS]\n";

    std::vector<ReportAttribute> attributes = report.attributes;
    std::stable_sort(
        attributes.begin(), attributes.end(),
        [](const ReportAttribute& a, const ReportAttribute& b) { return a.id < b.id; });
    for (const ReportAttribute& attribute : attributes) {
        text += "ATTR_" + std::to_string(attribute.id) + "=" + std::to_string(attribute.current) +
                "," + std::to_string(attribute.worst) + "," + std::to_string(attribute.threshold) +
                "," + std::to_string(attribute.raw) + "," + std::to_string(attribute.auxiliary) +
                "\n";
    }
    if (report.selfTest) {
        text += FormatSelfTestSection(*report.selfTest);
    }
    return text;
}
