#include "monitor/monitor_history.h"

#include "monitor/report_folder_history.h"

CMonitorHistory::CMonitorHistory() {
    const Result<void> opened = OpenReportFolderHistory(m_history);
    m_open = opened.HasValue();
    if (!opened && opened.Kind() != FailureKind::Missing) {
        m_problem = opened.Problem();
    }
}

std::vector<CounterGrowth> CMonitorHistory::ApplyGrowth(WarnedDrive& drive, std::int64_t now) {
    const DriveIdentity& key = drive.identity;
    if (!m_open || key.serial.empty()) {
        return {};
    }
    auto growth = ComputeCounterGrowth(m_history, key, drive.report.evaluation.rows, now);
    if (!growth) {
        if (m_problem.empty()) {
            m_problem = growth.Problem();
        }
        return {};
    }
    ApplyCounterGrowth(drive.warnings, drive.identity, drive.report.evaluation.rows,
                       growth.Value());
    return std::move(growth.Value());
}

std::vector<VanishedDrive> CMonitorHistory::Vanished(const std::vector<DriveIdentity>& present,
                                                     std::int64_t now, std::int64_t vanishedAfter) {
    if (!m_open) {
        return {};
    }
    auto vanished = FindVanishedDrives(m_history, present, now, vanishedAfter);
    if (!vanished) {
        if (m_problem.empty()) {
            m_problem = vanished.Problem();
        }
        return {};
    }
    return std::move(vanished.Value());
}
