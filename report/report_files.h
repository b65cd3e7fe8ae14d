#pragma once

#include <string>

// Drive numbers that a refresh looks for: smart_PhysicalDrive0.ini to ...1049.ini.
constexpr int kFirstDriveNumber = 0;
constexpr int kLastDriveNumber = 1049;

constexpr const char* kAttributeTableFile = "attr_table.ini";

constexpr const char* kReportFilePrefix = "smart_PhysicalDrive";

// kReportFilePrefix + "<N>.ini"
std::string ReportFileName(int driveNumber);
