#pragma once

#include "monitor/drive_warning_loader.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

// One drive as the monitoring outputs see it.
struct MonitoredDrive : WarnedDrive {
    int driveNumber = -1;        // from the report's name; -1 when it has none
    std::int64_t reportAge = -1; // seconds since the report was written; -1 unknown
};

// Monitoring-plugin exit statuses.
constexpr int kCheckOk = 0;
constexpr int kCheckWarning = 1;
constexpr int kCheckCritical = 2;
constexpr int kCheckUnknown = 3;

// --check: one status line, "OK: 4 drives", "WARNING: …" or "CRITICAL: …",
// with performance data (temperatures, critical counters) after "|".
// unknown: why the state cannot be told (no report, unreadable, malformed);
// it wins over every other state. Returns the exit status.
int WriteCheck(std::ostream& out, const std::vector<MonitoredDrive>& drives,
               const std::string& unknown, int temperatureLimit);

// --prometheus: node_exporter's textfile format, one family per figure.
void WritePrometheus(std::ostream& out, const std::vector<MonitoredDrive>& drives);
