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

// Where the chart's last step ends: the later of the last sample and `until`,
// plus a margin of a fiftieth of the whole time (at least an hour), so that
// the latest level has a width of its own and stays clear of the axis line.
std::int64_t ChartEnd(const std::vector<HistoryPoint>& points, std::optional<std::int64_t> until);

// A value axis whose labels never repeat: whole-number ticks one step of 1,
// 2 or 5 times a power of ten apart, at most kMaxValueTicks of them. A
// constant series gets a step either side; data that is never negative gets
// no negative labels.
struct ValueAxisRange {
    double low = 0;
    double high = 0;
    int ticks = 0;
    bool operator==(const ValueAxisRange& other) const {
        return low == other.low && high == other.high && ticks == other.ticks;
    }
};
inline constexpr int kMaxValueTicks = 6;
ValueAxisRange WholeNumberAxis(double low, double high);

// The date format (QDateTime's) of a time axis from first to last (seconds)
// with that many ticks: the shortest that still tells every two ticks apart.
const char* TimeAxisFormat(std::int64_t first, std::int64_t last, int ticks);
