#pragma once

#include "collector/self_test_log.h"
#include "report/report_format.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Everything one report file holds about a drive. Texts are already clean
// (SanitizeReportText); attributes are unique, ids 1 to 255.
struct SmartReport {
    std::string model;
    std::string serialNumber;
    std::string firmwareRevision;
    std::optional<std::uint64_t> capacityBytes;
    std::string wwn;    // "0x" and 16 hex digits; empty when smartctl gives none
    std::string device; // the kernel's name ("sda", "nvme0"); empty when unknown
    // The drive's own verdict, "PASSED" or "FAILED"; empty when unknown.
    std::string verdict;
    std::vector<AttributeReading> attributes;
    // The [SELFTEST] section; none when smartctl gave no self-test data.
    std::optional<SelfTestLog> selfTest;
};

// Capacity in whole GB (10^9 bytes) and GiB (2^30 bytes), truncated, and
// limited to the largest signed 32-bit number that the report format holds.
std::int32_t CapacityGb(std::uint64_t bytes);
std::int32_t CapacityGib(std::uint64_t bytes);

// The report file's UTF-8 text: [HDDINFO] with MODEL, SERIAL_NUMBER,
// FIRMWARE_REVISION, SIZE_GB and SIZE_GIB (both left out when the capacity
// is unknown, so that they read as -1) and SMART_STATUS (only when the
// verdict is known; the viewer ignores it), WWN and DEVICE (each only when
// known; for monitoring, the viewer ignores them), then [SMARTS] with one
// ATTR_<id> per attribute in ascending id order, then [SELFTEST] when the
// drive gave a self-test state or log (FormatSelfTestSection). Lines end with LF.
std::string FormatReportIni(const SmartReport& report);
