#pragma once

#include "platform/result.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One entry of `smartctl --scan-open --json`, in scan order.
struct ScannedDevice {
    std::string name;      // as smartctl gave it; checked with IsDevicePath before use
    std::string type;      // the -d type to read it with; may be empty
    std::string openError; // set when --scan-open could not open the device
};

struct DeviceScan {
    std::vector<ScannedDevice> devices;
};

// Parses the scan's output. A Failure when the output is not a smartctl
// document, its exit status has bit 0 or 1 set, or "devices" is
// there but not a list; a document without "devices" is a scan that found
// no drive. Entries that are not objects keep their place with an open error.
[[nodiscard]] Result<DeviceScan> ParseDeviceScan(std::string_view output);

// A scanned name is only ever used when it looks like a device path:
// "/dev/" followed by letters, digits and "/._:+-", no ".." part, at most 255 bytes.
bool IsDevicePath(std::string_view name);

// A -d type as smartctl names them ("sat", "nvme", "megaraid,3", "areca,1/2"):
// letters, digits and ",/._+-", not beginning with '-', at most 64 bytes.
bool IsDeviceType(std::string_view type);
