#include "ui/drive_history.h"

#include "config/program_folder.h"
#include "report/drive_report.h"

DriveHistory LoadDriveHistory(const std::string& reportPath, std::optional<int> id) {
    DriveHistory history;
    const DriveIdentity identity = ReadDriveIdentity(reportPath);
    if (identity.serial.empty()) {
        return history; // the collector records no drive without a serial number
    }
    CHistoryStore store;
    std::string problem;
    // Missing or damaged: the viewer shows that there is no history.
    if (!store.Open(ResolveInReportFolder(kHistoryFileName), CHistoryStore::Access::Read,
                    problem)) {
        return history;
    }
    const DriveKey key{identity.model, identity.serial};
    history.points = store.Readings(key, id);
    history.lastSeen = store.LastSeen(key);
    return history;
}
