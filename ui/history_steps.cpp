#include "ui/history_steps.h"

#include <algorithm>

namespace {

double FieldOf(const AttributeSample& sample, HistoryField field) {
    switch (field) {
    case HistoryField::Raw:
        return static_cast<double>(sample.raw);
    case HistoryField::Value:
        return sample.value;
    case HistoryField::Threshold:
        return sample.threshold;
    }
    return 0;
}

} // namespace

std::vector<StepPoint> StepSeries(const std::vector<HistoryPoint>& points, HistoryField field,
                                  std::optional<std::int64_t> until) {
    std::vector<StepPoint> steps;
    for (const HistoryPoint& point : points) {
        const double y = FieldOf(point.sample, field);
        if (steps.empty()) {
            steps.push_back({point.time, y});
        } else if (y != steps.back().y) {
            // A sample stored for another field's change adds no corner here.
            steps.push_back({point.time, steps.back().y});
            steps.push_back({point.time, y});
        }
    }
    if (steps.empty()) {
        return steps;
    }
    const std::int64_t end = std::max(points.back().time, until.value_or(points.back().time));
    if (end > steps.back().time) {
        steps.push_back({end, steps.back().y});
    }
    return steps;
}
