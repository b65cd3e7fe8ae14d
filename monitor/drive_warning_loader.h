#pragma once

#include "history/history_store.h"
#include "report/drive_report.h"
#include "report/drive_warnings.h"

#include <string>
#include <vector>

// One report with the warnings it gives.
struct WarnedDrive {
    DriveIdentity identity;
    DriveReport report;
    std::vector<DriveWarning> warnings;
    // Why the warnings were judged without the history (it cannot be read,
    // for all drives or this one); empty when it was read or there is none.
    std::string historyProblem;
};

// Loads reports and evaluates their warnings against the program folder's
// history, opened once when the loader is made. Without a readable history
// the warnings are evaluated without earlier values (no "from → to"), and
// the drive says why in historyProblem.
class CDriveWarningLoader {
public:
    explicit CDriveWarningLoader(const WarningSettings& settings);

    WarnedDrive Load(const std::string& path, const std::string& displayName) const;

    // Why the history exists but cannot be read; empty when it was read or
    // there is none.
    const std::string& HistoryProblem() const { return m_historyProblem; }

private:
    CDriveLoader m_loader;
    CHistoryStore m_history;
    bool m_hasHistory = false;
    std::string m_historyProblem;
    WarningSettings m_settings;
};
