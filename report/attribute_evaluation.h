#pragma once

#include "report/attribute_reading.h"
#include "report/report_format.h"
#include "report/shown_texts.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

// One row of the attribute table: texts for the columns ID, 概要, 値,
// 点数(ﾜｰｽﾄ) and 危険値, and the rank (1 when the current value as read lies
// below the threshold as read).
struct AttributeRow {
    int id = 0;
    std::string columns[kAttributeColumnCount];
    int rank = 0;
    // The numbers behind the texts: the line as read, and the raw value as
    // shown (after the size mask and the unit conversion).
    AttributeReading reading;
    std::int64_t shownRaw = 0;
};

// The panel texts that come from attributes: temperature (attribute 194) and
// total power-on time (attribute 9), each only when that attribute is present.
struct AttributeLabels {
    std::optional<std::string> temperature;
    std::optional<std::string> powerOnTime;
};

struct ReportEvaluation {
    std::vector<AttributeRow> rows;
    AttributeLabels labels;
    // Set when an attribute line did not hold five fields; rows stop before it.
    bool parseError = false;
    int parseErrorId = 0;
};

// Reads the value of a key path, or defaultText when it is missing.
using KeyReader = std::function<std::string(const char* keyPath, const char* defaultText)>;

AttributeRow EvaluateAttribute(int id, const AttributeReading& reading,
                               const AttributeTableEntry& entry, const char* model,
                               AttributeLabels& labels);

// Evaluates attributes 1 to 255 of a report in ascending id order.
ReportEvaluation EvaluateReport(const KeyReader& report, const KeyReader& table);

// The key paths the evaluation reads, formatted once: "SMARTS::ATTR_<id>" in
// a report, and "ATTR_TABLE::<NAME|UNIT|SIZE>_<id>" in the attribute table.
enum class AttributeTableField { kName, kUnit, kSize };
const char* AttributeKeyPath(int id);
const char* AttributeTableKeyPath(AttributeTableField field, int id);

inline const char* TextOf(const char* text) {
    return text;
}
inline const char* TextOf(const std::string& text) {
    return text.c_str();
}

// EvaluateReport over readers that give a std::string or a text (never null)
// valid until the evaluation returns: readAttribute(id) the report's line of attribute id,
// readModel() its model, readTable(field, id) the attribute table's field.
// Stores are read this way without a copy of every one of the 255 answers.
template <typename ReadAttribute, typename ReadModel, typename ReadTable>
ReportEvaluation EvaluateReportTexts(ReadAttribute&& readAttribute, ReadModel&& readModel,
                                     ReadTable&& readTable) {
    ReportEvaluation result;
    std::string model;
    bool modelRead = false;
    for (int id = kFirstAttributeId; id <= kLastAttributeId; ++id) {
        // A reader's std::string is kept, not copied; a store's text is used in place.
        const auto answer = readAttribute(id);
        const char* value = TextOf(answer);
        if (*value == '\0') {
            continue;
        }
        Result<AttributeReading> parsed = ParseAttributeLine(value);
        if (!parsed) {
            result.parseError = true;
            result.parseErrorId = id;
            break;
        }
        AttributeReading& reading = parsed.Value();
        reading.id = id;
        const AttributeTableEntry entry{readTable(AttributeTableField::kName, id),
                                        readTable(AttributeTableField::kUnit, id),
                                        readTable(AttributeTableField::kSize, id)};
        if (!modelRead) {
            model = readModel();
            modelRead = true;
        }
        result.rows.push_back(EvaluateAttribute(id, reading, entry, model.c_str(), result.labels));
    }
    return result;
}
