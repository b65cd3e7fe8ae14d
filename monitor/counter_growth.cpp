#include "monitor/counter_growth.h"

#include <algorithm>

std::optional<std::int64_t> CounterGrowth::ChangeOverDay() const {
    return dayAgo ? std::optional<std::int64_t>(current - *dayAgo) : std::nullopt;
}

std::optional<std::int64_t> CounterGrowth::ChangeSinceFirstSeen() const {
    return firstSeen ? std::optional<std::int64_t>(current - *firstSeen) : std::nullopt;
}

Result<std::vector<CounterGrowth>> ComputeCounterGrowth(const CHistoryStore& history,
                                                        const DriveIdentity& drive,
                                                        const std::vector<AttributeRow>& rows,
                                                        std::int64_t now) {
    std::vector<CounterGrowth> growth;
    for (const AttributeRow& row : rows) {
        if (!IsCriticalCounter(row.id)) {
            continue;
        }
        CounterGrowth counter;
        counter.id = row.id;
        counter.current = row.reading.raw;
        const auto first = history.FirstSample(drive, row.id);
        if (!first) {
            return Failure{first.Problem()};
        }
        if (first.Value()) {
            counter.firstSeen = first.Value()->sample.raw;
            const auto dayAgo = history.SampleAt(drive, row.id, now - kGrowthWindowSeconds);
            if (!dayAgo) {
                return Failure{dayAgo.Problem()};
            }
            // A drive first read within the window: its growth since then.
            counter.dayAgo = dayAgo.Value() ? dayAgo.Value()->sample.raw : *counter.firstSeen;
        }
        growth.push_back(counter);
    }
    return growth;
}

void ApplyCounterGrowth(std::vector<DriveWarning>& warnings, const DriveIdentity& identity,
                        const std::vector<AttributeRow>& rows,
                        const std::vector<CounterGrowth>& growth) {
    for (DriveWarning& warning : warnings) {
        if (warning.kind != WarningKind::Counter) {
            continue;
        }
        const auto row = std::find_if(rows.begin(), rows.end(), [&](const AttributeRow& r) {
            return r.id == warning.attributeId;
        });
        const auto counter =
            std::find_if(growth.begin(), growth.end(),
                         [&](const CounterGrowth& g) { return g.id == warning.attributeId; });
        if (row == rows.end()) {
            continue;
        }
        warning = CounterWarning(identity, *row,
                                 counter != growth.end() && counter->Rose() ? counter->dayAgo
                                                                            : std::nullopt);
    }
}
