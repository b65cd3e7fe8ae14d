#include "ui/history_steps.h"

#include <algorithm>
#include <cmath>

namespace {

double FieldOf(const AttributeReading& sample, HistoryField field) {
    switch (field) {
    case HistoryField::Raw:
        return static_cast<double>(sample.raw);
    case HistoryField::Value:
        return sample.current;
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

std::int64_t ChartEnd(const std::vector<HistoryPoint>& points, std::optional<std::int64_t> until) {
    if (points.empty()) {
        return until.value_or(0);
    }
    const std::int64_t last = std::max(points.back().time, until.value_or(points.back().time));
    const std::int64_t span = last - points.front().time;
    return last + std::max<std::int64_t>(span / 50, 3600);
}

ValueAxisRange WholeNumberAxis(double low, double high) {
    const bool nonNegative = low >= 0;
    if (high - low < 1) {
        low -= 1;
        high += 1;
    }
    if (nonNegative) {
        low = std::max(0.0, low);
    }
    // 1, 2, 5, 10, 20, 50, ...: the first step that needs few enough ticks.
    double step = 1;
    for (int i = 0; std::ceil(high / step) - std::floor(low / step) > kMaxValueTicks - 1; ++i) {
        step *= (i % 3 == 1) ? 2.5 : 2;
    }
    const double first = std::floor(low / step) * step;
    const double last = std::ceil(high / step) * step;
    return {first, last, static_cast<int>(std::lround((last - first) / step)) + 1};
}

const char* TimeAxisFormat(std::int64_t first, std::int64_t last, int ticks) {
    const std::int64_t interval = ticks > 1 ? (last - first) / (ticks - 1) : 0;
    // An hour more than a month or a day: a change of summer time must not
    // put two ticks into the same day.
    constexpr std::int64_t kHour = 3600;
    constexpr std::int64_t kDay = 24 * kHour;
    if (interval >= 31 * kDay + kHour) {
        return "yyyy-MM";
    }
    if (interval >= kDay + kHour) {
        return "yyyy-MM-dd";
    }
    if (interval >= 60) {
        return "yyyy-MM-dd HH:mm";
    }
    return "MM-dd HH:mm:ss";
}
