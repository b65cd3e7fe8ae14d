#pragma once

#include "history/history_store.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What the history holds for one drive of the viewer, read only when the
// user asks for it: the samples (oldest first) and when the drive was last
// read. Both are empty when there is no history; when it cannot be read,
// problem says why (one line).
struct DriveHistory {
    std::vector<HistoryPoint> points;
    std::optional<std::int64_t> lastSeen;
    std::string problem;
};

// The history of the drive whose report is at reportPath (known by the
// model and serial number the report holds), read from the history file of
// the program folder; only attribute id's samples when id is given.
DriveHistory LoadDriveHistory(const std::string& reportPath, std::optional<int> id = std::nullopt);

// The last raw-value change of each attribute of that drive, from the
// index: empty when there is no history; a Failure when it cannot be read.
[[nodiscard]] Result<std::vector<RawChange>> LoadRawChanges(const std::string& reportPath);
