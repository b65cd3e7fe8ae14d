#pragma once

#include "collector/smart_report.h"

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

struct CaptureConversion {
    // Set when the capture describes a drive whose data can be used.
    std::optional<SmartReport> report;
    // Why there is no report, as one line; empty when there is one.
    std::string problem;
};

// Converts one parsed `smartctl --json -a` capture into a report.
//
// Identity: MODEL from model_name (SCSI: vendor and product), SERIAL_NUMBER
// from serial_number, FIRMWARE_REVISION from firmware_version (SCSI:
// revision); capacity from user_capacity.bytes, else nvme_total_capacity.
//
// ATA attributes: value, worst and thresh as read; raw is smartctl's decoding
// (DecodedRawNumber of raw.string, else raw.value; raw.value alone for the
// power-on count of makers whose minutes or seconds the evaluation converts),
// auxiliary bits 32 to 47 of raw.value. An entry
// without a usable id (1 to 255, first of a repeated id wins) or value is left
// out; a missing worst reads as the value, a missing thresh as 0 (never
// fails), a missing or unusable raw.value as raw 0 and auxiliary 0.
// NVMe: see AppendNvmeHealthAttributes; SCSI: AppendScsiHealthAttributes.
// Without an attribute 194, smartctl's temperature.current gives one (value
// and worst 100, threshold 0, degrees as raw; none below 0 degrees). The
// drive's verdict on attribute 255 and SMART_STATUS: see AppendDriveVerdict.
//
// No report when the exit status has bit 0 or 1 set (bits 2 and above still
// come with data), or when the capture holds no drive at all (no model, serial
// number or attribute).
CaptureConversion ConvertCapture(const nlohmann::json& capture);
