#include "collector/capture_reading.h"

#include "collector/capture_conversion.h"
#include "collector/capture_document.h"
#include "collector/json_access.h"
#include "collector/smartctl_messages.h"

#include <cstdint>

CaptureReading ReadCapture(std::string_view output, int processExitStatus) {
    CaptureReading reading;
    const Result<nlohmann::json> document = ParseCaptureDocument(output);
    if (!document) {
        reading.problem = document.Problem();
        return reading;
    }
    if (ReportsLowPowerMode(*document)) {
        reading.outcome = CaptureOutcome::LowPowerMode;
        return reading;
    }
    const int status = processExitStatus | CaptureExitStatus(*document).value_or(0);
    if ((status & kSmartctlNoDataBits) != 0) {
        reading.outcome = ReportsPermissionDenied(*document) ? CaptureOutcome::PermissionDenied
                                                             : CaptureOutcome::Failed;
        reading.problem = SmartctlFailure(*document, status);
        reading.unknownUsbBridge = IsUnknownUsbBridgeText(SmartctlMessage(*document));
        return reading;
    }
    CaptureConversion conversion = ConvertCapture(*document);
    if (!conversion.report) {
        reading.problem = conversion.problem;
        return reading;
    }
    reading.outcome = CaptureOutcome::Report;
    reading.report = std::move(*conversion.report);
    if (const auto time = JsonUnsigned(JsonMember(JsonMember(&*document, "local_time"), "time_t"));
        time && *time <= static_cast<std::uint64_t>(INT64_MAX)) {
        reading.localTime = static_cast<std::int64_t>(*time);
    }
    return reading;
}
