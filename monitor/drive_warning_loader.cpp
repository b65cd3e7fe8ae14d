#include "monitor/drive_warning_loader.h"

#include "monitor/report_folder_history.h"

CDriveWarningLoader::CDriveWarningLoader(const WarningSettings& settings) : m_settings(settings) {
    const Result<void> opened = OpenReportFolderHistory(m_history);
    m_hasHistory = opened.HasValue();
    // A folder the collector never wrote a history into is not a problem.
    if (!opened && opened.Kind() != FailureKind::Missing) {
        m_historyProblem = opened.Problem();
    }
}

WarnedDrive CDriveWarningLoader::Load(const std::string& path,
                                      const std::string& displayName) const {
    WarnedDrive drive;
    drive.identity = ReadDriveIdentity(path);
    drive.report = m_loader.Load(path, displayName);
    drive.historyProblem = m_historyProblem;
    const DriveIdentity& key = drive.identity;
    // One indexed query per counter asked about, however long the history.
    const auto previous = [&](int id, std::int64_t current) -> std::optional<std::int64_t> {
        if (!m_hasHistory || !drive.historyProblem.empty()) {
            return std::nullopt;
        }
        const auto before = m_history.LastRawOtherThan(key, id, current);
        if (!before) {
            drive.historyProblem = before.Problem();
            return std::nullopt;
        }
        return before.Value() ? std::optional<std::int64_t>(before.Value()->sample.raw)
                              : std::nullopt;
    };
    drive.warnings = EvaluateWarnings(drive.report, drive.identity, previous, m_settings);
    return drive;
}
