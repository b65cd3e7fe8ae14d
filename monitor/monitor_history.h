#pragma once

#include "monitor/counter_growth.h"
#include "monitor/drive_warning_loader.h"
#include "monitor/vanished_drives.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What the history adds to the warnings of the reports, the same way for
// every program that warns (tolvenar-report --check and --prometheus,
// tolvenar-notify): the growth of the critical counters over the last 24 h,
// and the drives it read lately that have no report now.
class CMonitorHistory {
public:
    // Opens the report folder's history for reading; a folder without one
    // is no problem (no growth, no vanished drive).
    CMonitorHistory();

    // The growth of drive's critical counters as of now; rewrites its counter
    // warnings from it ("from → to" only for a counter that rose).
    std::vector<CounterGrowth> ApplyGrowth(WarnedDrive& drive, std::int64_t now);

    // When the history first saw the newest self-test of drive's report that
    // ran to its end (passed or failed); nullopt without history or when the
    // history has not stored that entry.
    std::optional<std::int64_t> LastCompletedSelfTest(const WarnedDrive& drive);

    // The drives read during the vanishedAfter seconds before now that are
    // not among present (the drives of every report of the folder).
    std::vector<VanishedDrive> Vanished(const std::vector<DriveIdentity>& present, std::int64_t now,
                                        std::int64_t vanishedAfter);

    // The first problem met reading the history (it exists but cannot be
    // read, or a query failed); empty when there was none. Without the
    // history, growth and vanished drives cannot be told.
    const std::string& Problem() const { return m_problem; }

private:
    CHistoryStore m_history;
    bool m_open = false;
    std::string m_problem;
};
