#pragma once

#include "collector/smart_report.h"

#include <nlohmann/json.hpp>
#include <vector>

// The drive's own verdict, for every drive type: failing when smartctl's
// overall health assessment (smart_status.passed) is false, or when an NVMe
// drive sets any critical warning bit (spare low, temperature, reliability
// degraded, read-only media, backup failed).
//
// It goes into attribute 255, which no ATA drive uses: value and worst 100
// when passing and 0 when failing, threshold 1, so that a failing drive
// always shows a red row, even when an ATA attribute only reached its
// threshold (equal is not below). Raw: the NVMe critical warning bits where
// the drive has them, else 1 failing and 0 passing. It also sets
// report.verdict ("PASSED" or "FAILED"). A capture with neither
// smart_status.passed nor a critical warning gives neither.
void AppendDriveVerdict(const nlohmann::json& capture, SmartReport& report);
