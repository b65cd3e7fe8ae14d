#include "collector/drive_verdict.h"

#include "collector/json_access.h"
#include "collector/mapped_attribute.h"

#include <optional>

namespace {

std::optional<bool> PassedOf(const nlohmann::json& capture) {
    const nlohmann::json* passed = JsonMember(JsonMember(&capture, "smart_status"), "passed");
    if (passed == nullptr || !passed->is_boolean()) {
        return std::nullopt;
    }
    return passed->get<bool>();
}

} // namespace

void AppendDriveVerdict(const nlohmann::json& capture, SmartReport& report) {
    const std::optional<bool> passed = PassedOf(capture);
    const auto warning = JsonUnsigned(
        JsonMember(JsonMember(&capture, "nvme_smart_health_information_log"), "critical_warning"));
    if (!passed && !warning) {
        return;
    }
    const bool failing = (passed && !*passed) || (warning && *warning != 0);
    const std::int64_t raw = warning ? SaturatedRaw(*warning) : (failing ? 1 : 0);
    AppendMappedAttribute(report.attributes, kVerdictId, failing ? 0 : 100, 1, raw);
    report.verdict = failing ? kVerdictFailed : kVerdictPassed;
}
