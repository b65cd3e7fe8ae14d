#include "ui/drive_history.h"

#include "monitor/report_folder_history.h"
#include "report/drive_report.h"

namespace {

// Opens the program folder's history for the drive of the report at
// reportPath; false when the drive cannot be in it or it cannot be opened
// (problem set when it exists but cannot be read).
bool OpenFor(const std::string& reportPath, CHistoryStore& store, DriveIdentity& key,
             std::string& problem) {
    const DriveIdentity identity = ReadDriveIdentity(reportPath);
    if (identity.serial.empty()) {
        return false; // the collector records no drive without a serial number
    }
    key = identity;
    const Result<void> opened = OpenReportFolderHistory(store);
    // No history yet is not a problem.
    problem = opened || opened.Kind() == FailureKind::Missing ? std::string() : opened.Problem();
    return opened.HasValue();
}

} // namespace

DriveHistory LoadDriveHistory(const std::string& reportPath, std::optional<int> id) {
    DriveHistory history;
    CHistoryStore store;
    DriveIdentity key;
    if (!OpenFor(reportPath, store, key, history.problem)) {
        return history;
    }
    auto points = store.Readings(key, id);
    const auto lastSeen = store.LastSeen(key);
    if (!points || !lastSeen) {
        history.problem = points ? lastSeen.Problem() : points.Problem();
        return history;
    }
    history.points = std::move(points.Value());
    history.lastSeen = lastSeen.Value();
    return history;
}

std::vector<RawChange> LoadRawChanges(const std::string& reportPath) {
    CHistoryStore store;
    DriveIdentity key;
    std::string problem;
    if (!OpenFor(reportPath, store, key, problem)) {
        return {};
    }
    auto changes = store.LastRawChanges(key);
    return changes ? std::move(changes.Value()) : std::vector<RawChange>();
}
