#pragma once

#include "history/history_store.h"

#include <cstdint>
#include <optional>
#include <vector>

// One corner of a step line: time in seconds since 1970 (UTC).
struct StepPoint {
    std::int64_t time = 0;
    double y = 0;
    bool operator==(const StepPoint& other) const { return time == other.time && y == other.y; }
};

enum class HistoryField { Raw, Value, Threshold };

// The corners of the step line of one field of one attribute's samples
// (oldest first). The history stores a sample only when it changes, so each
// level holds until the next change, and the last one until `until` (the
// drive's last reading) when that is later.
std::vector<StepPoint> StepSeries(const std::vector<HistoryPoint>& points, HistoryField field,
                                  std::optional<std::int64_t> until);
