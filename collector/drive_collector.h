#pragma once

#include <cstddef>
#include <string>
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
};

// One run of `quelmaro -uf`: scan, read every drive in parallel, write the
// reports numbered in scan order, and remove the reports of drive numbers
// that the scan no longer has. A scan that fails leaves every report as it
// was; so does a run that needs privileges. A drive that could not be read,
// or that smartctl left asleep, keeps its previous report.
class CDriveCollector {
public:
    static constexpr std::size_t kMaxParallelReads = 8;

    // privileged: running as root, so a refused device is a plain failure.
    CDriveCollector(CSmartctlSource& source, CReportFolder& folder, bool privileged);

    CollectionResult Run();

private:
    CSmartctlSource& m_source;
    CReportFolder& m_folder;
    bool m_bPrivileged;
};
