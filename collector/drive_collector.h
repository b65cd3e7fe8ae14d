#pragma once

#include "collector/capture_reading.h"
#include "collector/device_scan.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class CReportFolder;
class CSmartctlSource;

struct CollectionResult {
    // 0 every drive was read (or left asleep), 1 some failed, 2 none could be
    // read or the scan failed.
    int exitStatus = 2;
    // Not privileged and a device refused us: nothing was written or removed;
    // the caller may run the collection again with privileges.
    bool needsPrivileges = false;
    // One line each for standard error: per failed drive, or the scan's failure.
    std::vector<std::string> messages;
    // The reports written, each with the time it stands for (seconds since
    // 1970), for the history.
    std::vector<std::pair<std::int64_t, SmartReport>> written;
};

// One run of `quelmaro -uf`: scan, read every drive in parallel, write the
// reports numbered in scan order (privileged: each as soon as it is read),
// and remove the reports of drive numbers that the scan no longer has. A scan that fails leaves
// every report as it was; so does a run that needs privileges. A drive that could not be read, or
// that smartctl left asleep, keeps its previous report.
class CDriveCollector {
public:
    static constexpr std::size_t kMaxParallelReads = 8;

    // privileged: running as root, so a refused device is a plain failure.
    CDriveCollector(CSmartctlSource& source, CReportFolder& folder, bool privileged);

    CollectionResult Run();

private:
    // The scanned devices, or nullopt (with the reason in result) when the
    // scan failed.
    std::optional<std::vector<ScannedDevice>> ScanDevices(CollectionResult& result);
    // Reads every device that may be read, several at once.
    std::vector<CaptureReading> ReadDevices(const std::vector<ScannedDevice>& devices);
    // Writes the report of a reading that gave one; a failed write turns the
    // reading into a failure.
    void WriteReading(std::size_t number, CaptureReading& reading);
    // The exit status; one message per drive that failed.
    static int Summarise(const std::vector<ScannedDevice>& devices,
                         const std::vector<CaptureReading>& readings, CollectionResult& result);

    CSmartctlSource& m_source;
    CReportFolder& m_folder;
    bool m_bPrivileged;
    bool m_scheduleEnabled; // recorded in each report's [SELFTEST]
};
