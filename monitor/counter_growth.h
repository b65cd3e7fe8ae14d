#pragma once

#include "history/history_store.h"
#include "report/drive_warnings.h"

#include <cstdint>
#include <optional>
#include <vector>

// How much a critical counter changed, computed from the history so that
// every output compares the same numbers (Prometheus' increase() would read
// a counter that falls as a reset and report it as growth).
struct CounterGrowth {
    int id = 0;
    std::int64_t current = 0; // the raw count of the report
    // The raw count in force 24 h ago, or the first one stored when the
    // drive was first read less than 24 h ago; nullopt without history.
    std::optional<std::int64_t> dayAgo;
    // The raw count of the first stored sample.
    std::optional<std::int64_t> firstSeen;

    std::optional<std::int64_t> ChangeOverDay() const;
    std::optional<std::int64_t> ChangeSinceFirstSeen() const;
    // Grew during the last 24 h; a counter that fell never did.
    bool Rose() const { return ChangeOverDay().value_or(0) > 0; }
};

inline constexpr std::int64_t kGrowthWindowSeconds = 24 * 3600;

// The growth of every critical counter among rows, as of now.
Result<std::vector<CounterGrowth>> ComputeCounterGrowth(const CHistoryStore& history,
                                                        const DriveIdentity& drive,
                                                        const std::vector<AttributeRow>& rows,
                                                        std::int64_t now);

// Rewrites the counter warnings from the growth: "from → to" only for a
// counter that rose during the last 24 h (from its count 24 h ago), the count
// alone otherwise.
void ApplyCounterGrowth(std::vector<DriveWarning>& warnings, const DriveIdentity& identity,
                        const std::vector<AttributeRow>& rows,
                        const std::vector<CounterGrowth>& growth);
