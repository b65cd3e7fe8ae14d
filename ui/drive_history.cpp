#include "ui/drive_history.h"

#include "monitor/report_folder_history.h"
#include "report/drive_report.h"

namespace {

// Opens the program folder's history for the drive of the report at
// reportPath, which it gives; nullopt when the drive cannot be in it or
// there is no history yet, a Failure when it exists but cannot be read.
Result<std::optional<DriveIdentity>> OpenFor(const std::string& reportPath, CHistoryStore& store) {
    const DriveIdentity identity = ReadDriveIdentity(reportPath);
    if (identity.serial.empty()) {
        // The collector records no drive without a serial number.
        return std::optional<DriveIdentity>();
    }
    const Result<void> opened = OpenReportFolderHistory(store);
    if (!opened && opened.Kind() == FailureKind::Missing) {
        return std::optional<DriveIdentity>(); // no history yet is not a problem
    }
    if (!opened) {
        return opened.Error();
    }
    return std::optional<DriveIdentity>(identity);
}

} // namespace

DriveHistory LoadDriveHistory(const std::string& reportPath, std::optional<int> id) {
    DriveHistory history;
    CHistoryStore store;
    const auto key = OpenFor(reportPath, store);
    if (!key || !*key) {
        history.problem = key.Problem();
        return history;
    }
    auto points = store.Readings(**key, id);
    const auto lastSeen = store.LastSeen(**key);
    if (!points || !lastSeen) {
        history.problem = points ? lastSeen.Problem() : points.Problem();
        return history;
    }
    history.points = std::move(points.Value());
    history.lastSeen = lastSeen.Value();
    return history;
}

Result<std::vector<RawChange>> LoadRawChanges(const std::string& reportPath) {
    CHistoryStore store;
    const auto key = OpenFor(reportPath, store);
    if (!key) {
        return key.Error();
    }
    if (!*key) {
        return std::vector<RawChange>();
    }
    return store.LastRawChanges(**key);
}
