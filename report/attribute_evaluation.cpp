#include "report/attribute_evaluation.h"

#include "config/format_bounded.h"
#include "report/format_grouped.h"
#include "report/model_rules.h"
#include "report/report_format.h"

#include <array>
#include <cstdio>

namespace {

constexpr unsigned kTextSize = 256;
constexpr std::size_t kIdCount = kLastAttributeId - kFirstAttributeId + 1;

struct AttributeKeyPaths {
    std::array<std::string, kIdCount> report;
    std::array<std::array<std::string, kIdCount>, 3> table;
};

const AttributeKeyPaths& KeyPaths() {
    static const AttributeKeyPaths paths = [] {
        AttributeKeyPaths made;
        const std::string reportPrefix =
            std::string(kAttributeSection) + "::" + kAttributeKeyPrefix;
        const char* const fields[3] = {"NAME", "UNIT", "SIZE"};
        for (int id = kFirstAttributeId; id <= kLastAttributeId; ++id) {
            const std::size_t i = static_cast<std::size_t>(id - kFirstAttributeId);
            made.report[i] = reportPrefix + std::to_string(id);
            for (std::size_t f = 0; f < 3; ++f) {
                made.table[f][i] =
                    std::string("ATTR_TABLE::") + fields[f] + "_" + std::to_string(id);
            }
        }
        return made;
    }();
    return paths;
}

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

const char* AttributeKeyPath(int id) {
    return KeyPaths().report[static_cast<std::size_t>(id - kFirstAttributeId)].c_str();
}

const char* AttributeTableKeyPath(AttributeTableField field, int id) {
    return KeyPaths()
        .table[static_cast<std::size_t>(field)][static_cast<std::size_t>(id - kFirstAttributeId)]
        .c_str();
}

ReportEvaluation EvaluateReport(const KeyReader& report, const KeyReader& table) {
    const std::string modelKeyPath = kModelKey.Path();
    return EvaluateReportTexts([&](int id) { return report(AttributeKeyPath(id), ""); },
                               [&] { return report(modelKeyPath.c_str(), ""); },
                               [&](AttributeTableField field, int id) {
                                   return table(AttributeTableKeyPath(field, id), "");
                               });
}
