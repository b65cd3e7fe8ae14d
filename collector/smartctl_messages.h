#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

// smartctl's exit status is a bit mask (smartctl(8), "RETURN VALUES"):
// bit 0 the command line did not parse; bit 1 the device could not be opened
// or is in a low-power mode; bit 2 some SMART or ATA command failed or a
// checksum was wrong; bits 3 to 7 report the drive's health and logs. Only
// bits 0 and 1 mean that the output holds no usable data.
constexpr int kSmartctlNoDataBits = 0x03;

// smartctl.exit_status of a capture: 0 when absent (captures saved by other
// tools may lack it), nullopt when present but not a number from 0 to 255.
std::optional<int> CaptureExitStatus(const nlohmann::json& capture);

// The text of the first message of severity "error", else of the first
// message; empty when there is none. Cleaned for one line of output.
std::string SmartctlMessage(const nlohmann::json& capture);
// Why a run that ended with status gave no data: its message, or the status.
std::string SmartctlFailure(const nlohmann::json& capture, int status);

// smartctl -n standby skipped the drive to keep it from spinning up
// ("Device is in STANDBY mode, exit(2)", also SLEEP and "STANDBY (OS)").
bool ReportsLowPowerMode(const nlohmann::json& capture);

// The device could not be opened for lack of permission (EACCES or EPERM).
bool ReportsPermissionDenied(const nlohmann::json& capture);
bool IsPermissionDeniedText(const std::string& text);

// smartctl could not tell which USB bridge sits in front of the drive
// ("/dev/sdb: Unknown USB bridge [0x0781:0x5591 (0x100)]") and asks for -d.
bool IsUnknownUsbBridgeText(const std::string& text);
