#include "monitor/drive_warning_loader.h"

#include "config/program_folder.h"

#include <unistd.h>

CDriveWarningLoader::CDriveWarningLoader(const WarningSettings& settings) : m_settings(settings) {
    const std::string path = ResolveInReportFolder(kHistoryFileName);
    std::string problem;
    m_hasHistory = m_history.Open(path, CHistoryStore::Access::Read, problem);
    // A folder the collector never wrote a history into is not a problem.
    if (!m_hasHistory && access(path.c_str(), F_OK) == 0) {
        m_historyProblem = problem;
    }
}

WarnedDrive CDriveWarningLoader::Load(const std::string& path,
                                      const std::string& displayName) const {
    WarnedDrive drive;
    drive.identity = ReadDriveIdentity(path);
    drive.report = m_loader.Load(path, displayName);
    const std::vector<HistoryPoint> points =
        m_hasHistory ? m_history.Readings({drive.identity.model, drive.identity.serial})
                     : std::vector<HistoryPoint>();
    drive.warnings = EvaluateWarnings(
        drive.report, drive.identity,
        [&](int id, std::int64_t current) { return RawBefore(points, id, current); }, m_settings);
    return drive;
}
