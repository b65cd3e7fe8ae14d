#pragma once

#include "collector/smart_report.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

enum class CaptureOutcome {
    Report,           // report holds the drive's data
    LowPowerMode,     // smartctl left the drive asleep; its previous report stays
    PermissionDenied, // the device could not be opened for lack of permission
    Failed,           // no usable data; problem says why
};

struct CaptureReading {
    CaptureOutcome outcome = CaptureOutcome::Failed;
    SmartReport report;
    std::string problem;
    // Failed because smartctl could not tell the USB bridge in front of the
    // drive (and asks for -d).
    bool unknownUsbBridge = false;
    // The capture's own time (local_time.time_t), when it has one.
    std::optional<std::int64_t> localTime;
    // The report has been written into its place.
    bool written = false;
};

// Interprets the output of one `smartctl --json -a -n standby` run, or a saved
// capture (processExitStatus 0). The exit status bits of the process and of
// the capture's smartctl.exit_status are taken together.
CaptureReading ReadCapture(std::string_view output, int processExitStatus);
