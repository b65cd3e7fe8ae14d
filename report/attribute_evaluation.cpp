#include "report/attribute_evaluation.h"

#include "config/format_bounded.h"
#include "report/format_grouped.h"
#include "report/model_rules.h"
#include "report/report_format.h"

#include <cstdio>

namespace {

constexpr unsigned kTextSize = 256;

} // namespace

AttributeRow EvaluateAttribute(int id, const AttributeReading& reading,
                               const AttributeTableEntry& entry, const char* model,
                               AttributeLabels& labels) {
    const std::int64_t raw = AdjustRaw(reading.raw, entry.size.c_str(), model, id);
    const float factor = ScaleFactorFor(model, id);
    const int current = ScaleValue(reading.current, factor);
    const int worst = ScaleValue(reading.worst, factor);
    const int threshold = ScaleValue(reading.threshold, factor);
    const std::string grouped = FormatGrouped(raw);

    if (id == kPowerOnHoursId) {
        labels.powerOnTime = "総稼動時間： " + grouped + " 時間";
    }
    if (id == kTemperatureId) {
        labels.temperature = "温度： " + std::to_string(raw) + " ℃";
    }

    AttributeRow row;
    row.id = id;
    row.reading = reading;
    row.shownRaw = raw;
    char text[kTextSize];
    FormatBounded(text, kTextSize, "%d", id);
    row.columns[0] = text;
    row.columns[1] = entry.description.empty() ? kUnknownDescription : entry.description;
    FormatBounded(text, kTextSize, "%s %s", grouped.c_str(), entry.unit.c_str());
    row.columns[2] = text;
    if (id != kTemperatureId) {
        FormatBounded(text, kTextSize, "%d (%d)", current, worst);
    } else if (static_cast<std::int64_t>(reading.auxiliary) < raw) {
        FormatBounded(text, kTextSize, "-(-)");
    } else {
        FormatBounded(text, kTextSize, "- (%d ℃)", static_cast<int>(reading.auxiliary));
    }
    row.columns[3] = text;
    // Compared and subtracted in a wider type: extreme values read from a
    // report must not overflow, and every other value gives the same result.
    row.rank = reading.current < reading.threshold ? 1 : 0;
    const long long margin = static_cast<long long>(current) - threshold;
    FormatBounded(text, kTextSize, "%d (%+lld)", threshold, margin);
    row.columns[4] = text;
    return row;
}

ReportEvaluation EvaluateReport(const KeyReader& report, const KeyReader& table) {
    ReportEvaluation result;
    char keyPath[kTextSize];
    for (int id = kFirstAttributeId; id <= kLastAttributeId; ++id) {
        FormatBounded(keyPath, kTextSize, "%s::%s%d", kAttributeSection, kAttributeKeyPrefix, id);
        const std::string value = report(keyPath, "");
        if (value.empty()) {
            continue;
        }
        AttributeReading reading;
        reading.id = id;
        if (!ParseAttributeLine(value.c_str(), reading)) {
            result.parseError = true;
            result.parseErrorId = id;
            break;
        }
        const auto tableText = [&](const char* field) {
            FormatBounded(keyPath, kTextSize, "ATTR_TABLE::%s_%d", field, id);
            return table(keyPath, "");
        };
        const AttributeTableEntry entry{tableText("NAME"), tableText("UNIT"), tableText("SIZE")};
        const std::string model = report(kModelKey.Path().c_str(), "");
        result.rows.push_back(EvaluateAttribute(id, reading, entry, model.c_str(), result.labels));
    }
    return result;
}
