#pragma once

#include <optional>
#include <string>
#include <string_view>

// Drive numbers that a refresh looks for: smart_PhysicalDrive0.ini to ...1049.ini.
constexpr int kFirstDriveNumber = 0;
constexpr int kLastDriveNumber = 1049;

constexpr const char* kAttributeTableFile = "attr_table.ini";

constexpr const char* kReportFilePrefix = "smart_PhysicalDrive";

// kReportFilePrefix + "<N>.ini"
std::string ReportFileName(int driveNumber);

// The drive number of a report file name (no folder): exactly a name that
// ReportFileName gives for kFirstDriveNumber to kLastDriveNumber; nullopt for
// anything else ("smart_PhysicalDrive7.ini.bak", "...07.ini", "...-1.ini").
std::optional<int> DriveNumberOfReportFile(std::string_view name);
