#include "collector/smart_report.h"

#include "collector/mapped_attribute.h"
#include "collector/report_text.h"

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
    std::string text = SectionLine(kInfoSection);
    text += KeyLine(kModelKey, IniValue(report.model));
    text += KeyLine(kSerialKey, IniValue(report.serialNumber));
    text += KeyLine(kFirmwareKey, IniValue(report.firmwareRevision));
    if (report.capacityBytes) {
        text += KeyLine(kSizeGbKey, std::to_string(CapacityGb(*report.capacityBytes)));
        text += KeyLine(kSizeGibKey, std::to_string(CapacityGib(*report.capacityBytes)));
    }
    if (!report.wwn.empty()) {
        text += KeyLine(kWwnKey, report.wwn);
    }
    if (!report.device.empty()) {
        text += KeyLine(kDeviceKey, report.device);
    }
    if (!report.verdict.empty()) {
        text += KeyLine(kVerdictKey, IniValue(report.verdict));
    }
    text += "\n" + SectionLine(kAttributeSection);

    std::vector<AttributeReading> attributes = report.attributes;
    std::stable_sort(
        attributes.begin(), attributes.end(),
        [](const AttributeReading& a, const AttributeReading& b) { return a.id < b.id; });
    for (const AttributeReading& attribute : attributes) {
        text += kAttributeKeyPrefix + std::to_string(attribute.id) + "=" +
                std::to_string(attribute.current) + "," + std::to_string(attribute.worst) + "," +
                std::to_string(attribute.threshold) + "," + std::to_string(attribute.raw) + "," +
                std::to_string(attribute.auxiliary) + "\n";
    }
    if (report.selfTest) {
        text += FormatSelfTestSection(*report.selfTest);
    }
    return text;
}
