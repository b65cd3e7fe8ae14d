#include "collector/smartctl_messages.h"

#include "collector/json_access.h"
#include "collector/report_text.h"

namespace {

template <typename Predicate> bool AnyMessage(const nlohmann::json& capture, Predicate predicate) {
    const nlohmann::json* messages = JsonMember(JsonMember(&capture, "smartctl"), "messages");
    if (messages == nullptr || !messages->is_array()) {
        return false;
    }
    for (const nlohmann::json& message : *messages) {
        if (predicate(JsonText(JsonMember(&message, "string")),
                      JsonText(JsonMember(&message, "severity")))) {
            return true;
        }
    }
    return false;
}

} // namespace

std::optional<int> CaptureExitStatus(const nlohmann::json& capture) {
    const nlohmann::json* status = JsonMember(JsonMember(&capture, "smartctl"), "exit_status");
    if (status == nullptr) {
        return 0;
    }
    const auto value = JsonUnsigned(status);
    if (!value || *value > 255) {
        return std::nullopt;
    }
    return static_cast<int>(*value);
}

std::string SmartctlMessage(const nlohmann::json& capture) {
    std::string first;
    std::string firstError;
    AnyMessage(capture, [&](const std::string& text, const std::string& severity) {
        if (first.empty()) {
            first = text;
        }
        if (severity == "error" && !text.empty()) {
            firstError = text;
            return true;
        }
        return false;
    });
    return SanitizeReportText(firstError.empty() ? first : firstError);
}

std::string SmartctlFailure(const nlohmann::json& capture, int status) {
    std::string message = SmartctlMessage(capture);
    if (message.empty()) {
        message = "smartctl ended with exit status " + std::to_string(status);
    }
    return message;
}

bool ReportsLowPowerMode(const nlohmann::json& capture) {
    return AnyMessage(capture, [](const std::string& text, const std::string&) {
        const auto at = text.find("Device is in ");
        return at != std::string::npos && text.find(" mode, exit(", at) != std::string::npos;
    });
}

bool IsPermissionDeniedText(const std::string& text) {
    return text.find("Permission denied") != std::string::npos ||
           text.find("Operation not permitted") != std::string::npos;
}

bool ReportsPermissionDenied(const nlohmann::json& capture) {
    return AnyMessage(capture, [](const std::string& text, const std::string&) {
        return IsPermissionDeniedText(text);
    });
}

bool IsUnknownUsbBridgeText(const std::string& text) {
    return text.find("Unknown USB bridge") != std::string::npos;
}
