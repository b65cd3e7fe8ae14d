#include "collector/device_scan.h"

#include "collector/capture_document.h"
#include "collector/json_access.h"
#include "collector/report_text.h"
#include "collector/smartctl_messages.h"

namespace {

bool IsAsciiAlnum(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool OnlyCharacters(std::string_view text, std::string_view punctuation) {
    for (const char c : text) {
        if (!IsAsciiAlnum(c) && punctuation.find(c) == std::string_view::npos) {
            return false;
        }
    }
    return true;
}

} // namespace

bool IsDevicePath(std::string_view name) {
    constexpr std::string_view kPrefix = "/dev/";
    if (name.size() <= kPrefix.size() || name.size() > 255 || name.substr(0, 5) != kPrefix) {
        return false;
    }
    if (!OnlyCharacters(name, "/._:+-")) {
        return false;
    }
    // No ".." component anywhere, so the path stays below /dev.
    const std::string padded = std::string(name) + "/";
    return padded.find("/../") == std::string::npos;
}

bool IsDeviceType(std::string_view type) {
    return !type.empty() && type.size() <= 64 && type[0] != '-' && OnlyCharacters(type, ",/._+-");
}

Result<DeviceScan> ParseDeviceScan(std::string_view output) {
    const Result<nlohmann::json> document = ParseCaptureDocument(output);
    if (!document) {
        return document.Error();
    }
    if (!document->is_object()) {
        return Failure{"the scan's output is not a smartctl JSON object"};
    }
    const auto status = CaptureExitStatus(*document);
    if (!status || (*status & kSmartctlNoDataBits) != 0) {
        const std::string message = SmartctlMessage(*document);
        return Failure{message.empty() ? "smartctl --scan-open failed" : message};
    }

    DeviceScan scan;
    const nlohmann::json* devices = JsonMember(&*document, "devices");
    if (devices == nullptr) {
        return scan;
    }
    if (!devices->is_array()) {
        return Failure{"the scan's \"devices\" is not a list"};
    }
    for (const nlohmann::json& entry : *devices) {
        ScannedDevice device;
        device.name = JsonText(JsonMember(&entry, "name"));
        device.type = JsonText(JsonMember(&entry, "type"));
        device.openError = SanitizeReportText(JsonText(JsonMember(&entry, "open_error")));
        if (!entry.is_object()) {
            device.openError = "the scan's entry is not an object";
        }
        scan.devices.push_back(std::move(device));
    }
    return scan;
}
