#pragma once

#include "monitor/counter_growth.h"
#include "monitor/drive_warning_loader.h"
#include "monitor/vanished_drives.h"

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

// What the report's HDDINFO says of the drive beyond model and serial: the
// WWN and the kernel's name of the device (written by the collector when
// smartctl gives them), the firmware and the capacity.
struct DriveInfo {
    std::string wwn;
    std::string device;
    std::string firmware;
    std::optional<std::int64_t> capacityBytes;
};

DriveInfo ReadDriveInfo(const std::string& path);

// One drive as the monitoring outputs see it.
struct MonitoredDrive : WarnedDrive {
    std::string reportName; // the report's file name, naming a drive without serial or WWN
    DriveInfo info;
    std::int64_t readingTime = -1; // when the drive was read (its report written); -1 unknown
    bool reportError = false;      // the report is malformed or cannot be read
    std::vector<CounterGrowth> growth;
    // When the history first saw the newest self-test that ran to its end.
    std::optional<std::int64_t> lastSelfTestSeen;
};

// The collection runs, as the service that ran the collector told it.
struct CollectionState {
    std::optional<bool> lastRunSucceeded;
    std::optional<std::int64_t> lastSuccess; // seconds since 1970
};

// Everything both monitoring outputs tell.
struct MonitoringState {
    std::int64_t now = 0;
    std::vector<MonitoredDrive> drives;
    std::vector<VanishedDrive> vanished;
    CollectionState collection;
    // Why the state cannot be told (no report, unreadable, malformed, an
    // unreadable history); it wins over every other state.
    std::vector<std::string> unknown;
};

struct CheckSettings {
    int temperatureLimit = WarningSettings{}.temperatureLimit;
    std::int64_t maxAge = 3 * 3600; // three collection intervals
};

// Monitoring-plugin exit statuses.
constexpr int kCheckOk = 0;
constexpr int kCheckWarning = 1;
constexpr int kCheckCritical = 2;
constexpr int kCheckUnknown = 3;

// The label a drive's series are known by in Prometheus and the base of its
// performance data labels: the serial number, else the WWN, else (a drive
// that tells neither) the report's file name.
std::string DriveSerialLabel(const MonitoredDrive& drive);

// A short stable form of it for performance data labels: its last 8
// letters and digits.
std::string PerfDataLabel(const MonitoredDrive& drive);

// --check: the summary line with performance data (temperatures, critical
// counters) after "|", then one line per problem. Returns the exit status.
int WriteCheck(std::ostream& out, const MonitoringState& state, const CheckSettings& settings);

// --prometheus: node_exporter's textfile format, one family per figure,
// every drive's series labelled by model and serial.
void WritePrometheus(std::ostream& out, const MonitoringState& state);

// The last-success time a metrics file written by WritePrometheus holds;
// nullopt when it holds none.
std::optional<std::int64_t> ReadLastSuccess(const std::string& metrics);
