#include "monitor/monitor_history.h"

#include "monitor/report_folder_history.h"

#include <algorithm>

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

std::optional<std::int64_t> CMonitorHistory::LastCompletedSelfTest(const WarnedDrive& drive) {
    const auto& entries = drive.report.selfTest.entries;
    const auto newest = std::find_if(entries.begin(), entries.end(), [](const SelfTestRecord& e) {
        return e.outcome == kOutcomeOk || e.outcome == kOutcomeFailed;
    });
    const DriveIdentity& key = drive.identity;
    if (!m_open || key.serial.empty() || newest == entries.end()) {
        return std::nullopt;
    }
    const auto stored = m_history.SelfTests(key);
    if (!stored) {
        if (m_problem.empty()) {
            m_problem = stored.Problem();
        }
        return std::nullopt;
    }
    const auto same = [](const std::optional<std::int64_t>& a,
                         const std::optional<std::uint64_t>& b) {
        return a.has_value() == b.has_value() && (!a || static_cast<std::uint64_t>(*a) == *b);
    };
    // Newest first: of two alike entries, the later one.
    for (const StoredSelfTest& test : stored.Value()) {
        if (test.entry.type == newest->type && test.entry.code == newest->code &&
            same(test.entry.hours, newest->hours) && same(test.entry.lba, newest->lba)) {
            return test.firstSeen;
        }
    }
    return std::nullopt;
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
