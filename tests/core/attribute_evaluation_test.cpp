#include "config/ini_store.h"
#include "report/attribute_evaluation.h"
#include "report/format_grouped.h"
#include "report/model_rules.h"
#include "report/store_evaluation.h"

#include <climits>
#include <cstdint>
#include <gtest/gtest.h>
#include <map>
#include <string>

namespace {

struct LineCase {
    const char* value;
    bool ok;
    AttributeReading reading; // id unused
};

TEST(ParseAttributeLine, NeedsExactlyFiveNonEmptyFields) {
    const LineCase cases[] = {
        {"100,100,36,0,0", true, {0, 100, 100, 36, 0, 0}},
        {"100,,100,36,0,0", true, {0, 100, 100, 36, 0, 0}},
        {",100,100,36,0,0,", true, {0, 100, 100, 36, 0, 0}},
        {"100,100,36,0", false, {}},
        {"1,2,3,4,5,6", false, {}},
        {"", false, {}},
        {"12abc,   ,abc,-5,+5", true, {0, 12, 0, 0, -5, 5}},
        {"1,1,1,1,70000", true, {0, 1, 1, 1, 1, 4464}},
        {"1,1,1,1,-1", true, {0, 1, 1, 1, 1, 65535}},
        {"1,1,1,99999999999,1", true, {0, 1, 1, 1, 99999999999, 1}},
        {"-99999999999,1,1,1,1", true, {0, INT_MIN, 1, 1, 1, 1}},
    };
    for (const LineCase& c : cases) {
        const Result<AttributeReading> parsed = ParseAttributeLine(c.value);
        ASSERT_EQ(parsed.HasValue(), c.ok) << c.value;
        if (!c.ok) {
            continue;
        }
        const AttributeReading& reading = parsed.Value();
        EXPECT_EQ(reading.current, c.reading.current) << c.value;
        EXPECT_EQ(reading.worst, c.reading.worst) << c.value;
        EXPECT_EQ(reading.threshold, c.reading.threshold) << c.value;
        EXPECT_EQ(reading.raw, c.reading.raw) << c.value;
        EXPECT_EQ(reading.auxiliary, c.reading.auxiliary) << c.value;
    }
}

TEST(FormatGrouped, GroupsThousandsAndNeverSplitsTheLeadingGroup) {
    const std::pair<int, const char*> cases[] = {
        {0, "0"},
        {999, "999"},
        {1000, "1,000"},
        {1005, "1,005"},
        {999999, "999,999"},
        {1000000, "1,000,000"},
        {1234567890, "1234,567,890"},
        {INT_MAX, "2147,483,647"},
        {-1, "-1"},
        {-1234, "-1234"},
        {INT_MIN, "-2147483648"},
    };
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(FormatGrouped(value), text) << value;
    }
}

// Raw values are read as signed 64-bit numbers, saturating beyond; grouping
// keeps its rule on the wider type, and the "short" mask applies first.
TEST(AttributeRaw, SixtyFourBitReadingAndGroupingAtTheBoundaries) {
    struct Case {
        const char* rawField;
        const char* size;
        std::int64_t raw;
        const char* valueText;
    };
    const Case cases[] = {
        {"2147483647", "", 2147483647, "2147,483,647 "},
        {"2147483648", "", 2147483648, "2147,483,648 "},
        {"-2147483649", "", -2147483649, "-2147483649 "},
        {"281474976710655", "", 281474976710655, "281474976,710,655 "},
        {"2754608750246", "", 2754608750246, "2754608,750,246 "},
        {"9223372036854775807", "", INT64_MAX, "9223372036854,775,807 "},
        {"18446744073709551616", "", INT64_MAX, "9223372036854,775,807 "},
        {"-99999999999999999999", "", INT64_MIN, "-9223372036854775808 "},
        // 0x1_0000_0026: the mask keeps the low 16 bits of the wide value.
        {"4294967334", "short", 4294967334, "38 "},
        {"281474976710655", "short", 281474976710655, "65,535 "},
    };
    for (const Case& c : cases) {
        const std::string line = std::string("100,100,0,") + c.rawField + ",0";
        const Result<AttributeReading> parsed = ParseAttributeLine(line.c_str());
        ASSERT_TRUE(parsed) << line;
        const AttributeReading& reading = parsed.Value();
        EXPECT_EQ(reading.raw, c.raw) << line;
        AttributeLabels labels;
        const AttributeRow row = EvaluateAttribute(7, reading, {"", "", c.size}, "", labels);
        EXPECT_EQ(row.columns[2], c.valueText) << line;
    }
}

struct ScaleCase {
    const char* model;
    int id;
    int value;
    int scaled;
};

TEST(ScaleFactor, SinglePrecisionFactorsTruncateTowardZero) {
    const ScaleCase cases[] = {
        {"Maxtor 6Y080L0", 1, 253, 100},
        {"MAXTOR 6Y080L0", 1, 63, 24},
        {"maxtor x", 1, 200, 79},
        {"Maxtor", 1, 253, 253}, // no trailing space: no Maxtor rule
        {"MaxtorX 1", 1, 253, 253},
        {"HDT722516DLA380", 3, 120, 99}, // 1.2f is slightly above 1.2
        {"hds721010", 3, 24, 19},
        {"Hitachi HTS541010", 3, 6, 4},
        {"HDT722516DLA380", 4, 120, 120},
        {"Hitachi", 3, 120, 120}, // needs "Hitachi " with its blank
        {"FUJITSU MHV2080AT", 1, 100, 100},
        {"ST3500418AS", 199, 200, 100},
        {"ST3500418AS", 199, 199, 99},
        {"Maxtor 6Y080L0", 199, 200, 100}, // 199 replaces Maxtor's factor
        {"", 199, -3, -1},
        {"", 1, INT_MIN, INT_MIN},
        {"", 199, INT_MIN, INT_MIN / 2},
        {"Maxtor x", 1, INT_MAX, 848807775},
    };
    for (const ScaleCase& c : cases) {
        EXPECT_EQ(ScaleValue(c.value, ScaleFactorFor(c.model, c.id)), c.scaled)
            << c.model << " id " << c.id << " value " << c.value;
    }
    // Every multiple of 6 up to 252 comes out one lower than the decimal quotient.
    for (int v = 6; v <= 252; v += 6) {
        EXPECT_EQ(ScaleValue(v, ScaleFactorFor("HDS", 3)), v * 10 / 12 - 1) << v;
    }
}

struct RawCase {
    int raw;
    const char* size;
    const char* model;
    int id;
    int adjusted;
};

TEST(AdjustRaw, MasksShortValuesThenConvertsPowerOnUnits) {
    const RawCase cases[] = {
        {2097190, "short", "", 194, 38},
        {-1, "short", "", 5, 65535},
        {-1, "Short", "", 5, -1},
        {-1, "SHORT", "", 5, -1},
        {-1, "short ", "", 5, -1},
        {600000, "", "Maxtor 6Y", 9, 10000},
        {600000, "", "Maxtor 6Y", 12, 600000},
        {36000000, "", "FUJITSU MHV", 9, 10000},
        {36000000, "", "FUJITSU", 9, 36000000},
        {-119, "", "Maxtor 6Y", 9, -1}, // truncates toward zero
        {INT_MIN, "", "Maxtor 6Y", 9, INT_MIN / 60},
        // Masking comes first: 0x10000 + 120 minutes is 2 hours.
        {65656, "short", "Maxtor 6Y", 9, 2},
    };
    for (const RawCase& c : cases) {
        EXPECT_EQ(AdjustRaw(c.raw, c.size, c.model, c.id), c.adjusted)
            << c.raw << " " << c.size << " " << c.model << " " << c.id;
    }
}

struct RowCase {
    const char* name;
    const char* model;
    int id;
    AttributeReading reading;
    AttributeTableEntry entry;
    std::string columns[5];
    int rank;
};

TEST(EvaluateAttribute, FormsTheFiveColumnsAndTheRank) {
    const RowCase cases[] = {
        {"maxtor rescaled",
         "MAXTOR 6L",
         1,
         {1, 253, 253, 63, 0, 0},
         {"読み込みエラー率", "", ""},
         {"1", "読み込みエラー率", "0 ", "100 (100)", "24 (+76)"},
         0},
        {"rank decided on the values as read",
         "Maxtor 6Y",
         1,
         {1, 200, 200, 201, 0, 0},
         {},
         {"1", "？？？", "0 ", "79 (79)", "79 (+0)"},
         1},
        {"equal is not failing",
         "",
         5,
         {5, 36, 36, 36, 0, 0},
         {},
         {"5", "？？？", "0 ", "36 (36)", "36 (+0)"},
         0},
        {"below threshold",
         "WDC WD20EFRX",
         5,
         {5, 1, 1, 5, 2048, 0},
         {"代替処理済みのセクタ数", "個", ""},
         {"5", "代替処理済みのセクタ数", "2,048 個", "1 (1)", "5 (-4)"},
         1},
        {"hitachi attribute 3",
         "HDT722516",
         3,
         {3, 120, 120, 24, 0, 0},
         {},
         {"3", "？？？", "0 ", "99 (99)", "19 (+80)"},
         0},
        {"temperature with higher auxiliary",
         "",
         194,
         {194, 100, 100, 0, 38, 45},
         {"温度", "℃", ""},
         {"194", "温度", "38 ℃", "- (45 ℃)", "0 (+100)"},
         0},
        {"temperature with equal auxiliary",
         "",
         194,
         {194, 100, 100, 0, 38, 38},
         {},
         {"194", "？？？", "38 ", "- (38 ℃)", "0 (+100)"},
         0},
        {"temperature with lower auxiliary",
         "",
         194,
         {194, 100, 100, 0, 38, 30},
         {},
         {"194", "？？？", "38 ", "-(-)", "0 (+100)"},
         0},
        {"temperature masked to 16 bits",
         "",
         194,
         {194, 100, 100, 0, 2097190, 45},
         {"", "", "short"},
         {"194", "？？？", "38 ", "- (45 ℃)", "0 (+100)"},
         0},
        {"negative raw is never above auxiliary",
         "",
         194,
         {194, 1, 1, 0, -5, 0},
         {},
         {"194", "？？？", "-5 ", "- (0 ℃)", "0 (+1)"},
         0},
        {"short raw of -1",
         "",
         7,
         {7, 1, 1, 0, -1, 0},
         {"", "", "short"},
         {"7", "？？？", "65,535 ", "1 (1)", "0 (+1)"},
         0},
        {"extremes neither overflow the rank nor the margin",
         "",
         1,
         {1, INT_MIN, 0, INT_MAX, 0, 0},
         {},
         {"1", "？？？", "0 ", "-2147483648 (0)", "2147483647 (-4294967295)"},
         1},
        {"extremes the other way",
         "",
         1,
         {1, INT_MAX, 0, INT_MIN, 0, 0},
         {},
         {"1", "？？？", "0 ", "2147483647 (0)", "-2147483648 (+4294967295)"},
         0},
    };
    for (const RowCase& c : cases) {
        AttributeLabels labels;
        const AttributeRow row = EvaluateAttribute(c.id, c.reading, c.entry, c.model, labels);
        EXPECT_EQ(row.id, c.id) << c.name;
        for (int column = 0; column < 5; ++column) {
            EXPECT_EQ(row.columns[column], c.columns[column]) << c.name << " column " << column;
        }
        EXPECT_EQ(row.rank, c.rank) << c.name;
    }
}

TEST(EvaluateAttribute, SetsThePanelTextsOfAttributes9And194Only) {
    struct Case {
        const char* model;
        int id;
        std::int64_t raw;
        const char* powerOn;
        const char* temperature;
    };
    const Case cases[] = {
        {"Maxtor 6Y", 9, 600000, "総稼動時間： 10,000 時間", nullptr},
        {"Maxtor 6Y", 9, 6000000000, "総稼動時間： 100,000,000 時間", nullptr},
        {"FUJITSU MHV", 9, 36000000, "総稼動時間： 10,000 時間", nullptr},
        {"ST3500418AS", 9, 1234567890, "総稼動時間： 1234,567,890 時間", nullptr},
        {"", 194, 38, nullptr, "温度： 38 ℃"},
        {"", 194, 1234567, nullptr, "温度： 1234567 ℃"},
        {"", 12, 38, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        AttributeLabels labels;
        AttributeReading reading{c.id, 100, 100, 0, c.raw, 0};
        EvaluateAttribute(c.id, reading, {}, c.model, labels);
        EXPECT_EQ(labels.powerOnTime.has_value(), c.powerOn != nullptr) << c.id;
        EXPECT_EQ(labels.temperature.has_value(), c.temperature != nullptr) << c.id;
        if (c.powerOn != nullptr) {
            EXPECT_EQ(*labels.powerOnTime, c.powerOn);
        }
        if (c.temperature != nullptr) {
            EXPECT_EQ(*labels.temperature, c.temperature);
        }
    }
}

TEST(EvaluateAttribute, ValueTextIsCutToTheDisplayLimitOnACharacterBoundary) {
    AttributeTableEntry entry;
    for (int i = 0; i < 200; ++i) {
        entry.unit += "時";
    }
    AttributeLabels labels;
    const AttributeRow row = EvaluateAttribute(1, {1, 1, 1, 1, 5, 0}, entry, "", labels);
    // "5 " then as many whole three-byte characters as fit in 255 bytes.
    EXPECT_EQ(row.columns[2].size(), 2u + 252u);
    EXPECT_EQ(row.columns[2].substr(0, 5), "5 時");
}

using KeyValues = std::map<std::string, std::string>;

KeyReader ReaderOf(const KeyValues& values) {
    return [&values](const char* keyPath, const char* defaultText) {
        const auto found = values.find(keyPath);
        return found == values.end() ? std::string(defaultText) : found->second;
    };
}

TEST(EvaluateReport, EvaluatesIdsInAscendingOrderAndStopsAtAMalformedLine) {
    const KeyValues report = {
        {"HDDINFO::MODEL", "Maxtor 6Y080L0"},     {"SMARTS::ATTR_3", "253,253,63,0,0"},
        {"SMARTS::ATTR_1", "253,253,63,0,0"},     {"SMARTS::ATTR_7", "1,2,3"},
        {"SMARTS::ATTR_9", "253,253,0,600000,0"}, {"SMARTS::ATTR_194", "100,100,0,38,45"},
        {"SMARTS::ATTR_0", "1,1,1,1,1"},          {"SMARTS::ATTR_256", "1,1,1,1,1"},
    };
    const KeyValues table = {{"ATTR_TABLE::NAME_1", "読み込みエラー率"},
                             {"ATTR_TABLE::UNIT_3", "ms"}};
    const ReportEvaluation result = EvaluateReport(ReaderOf(report), ReaderOf(table));
    ASSERT_EQ(result.rows.size(), 2u);
    EXPECT_EQ(result.rows[0].columns[0], "1");
    EXPECT_EQ(result.rows[0].columns[1], "読み込みエラー率");
    EXPECT_EQ(result.rows[1].columns[0], "3");
    EXPECT_EQ(result.rows[1].columns[2], "0 ms");
    EXPECT_TRUE(result.parseError);
    EXPECT_EQ(result.parseErrorId, 7);
    EXPECT_FALSE(result.labels.powerOnTime.has_value());
    EXPECT_FALSE(result.labels.temperature.has_value());
}

TEST(EvaluateReport, KeepsLabelsSetBeforeAParseErrorAndIgnoresIdsOutsideTheRange) {
    const KeyValues report = {
        {"SMARTS::ATTR_9", "100,100,0,5000,0"},
        {"SMARTS::ATTR_194", "100,100,0,38,45"},
        {"SMARTS::ATTR_200", "x"},
        {"SMARTS::ATTR_0", "1,1,1,1,1"},
        {"SMARTS::ATTR_256", "1,1,1,1,1"},
    };
    const KeyValues table;
    const ReportEvaluation result = EvaluateReport(ReaderOf(report), ReaderOf(table));
    ASSERT_EQ(result.rows.size(), 2u);
    EXPECT_EQ(result.rows[1].columns[0], "194");
    EXPECT_EQ(result.labels.powerOnTime.value_or(""), "総稼動時間： 5,000 時間");
    EXPECT_EQ(result.labels.temperature.value_or(""), "温度： 38 ℃");
    EXPECT_EQ(result.parseErrorId, 200);

    const KeyValues outside = {{"SMARTS::ATTR_0", "1,1,1,1,1"}, {"SMARTS::ATTR_256", "1,1,1,1,1"}};
    const ReportEvaluation none = EvaluateReport(ReaderOf(outside), ReaderOf(table));
    EXPECT_TRUE(none.rows.empty());
    EXPECT_FALSE(none.parseError);
}

// The store evaluation goes through the report's [SMARTS] keys instead of
// asking for each id: it must find exactly the lines "SMARTS::ATTR_<id>" reads.
TEST(EvaluateReportStores, FindsExactlyTheLinesTheKeyPathsOfIdsRead) {
    CIniStore report;
    report.OpenText("[smarts]\n"
                    "attr_5=100,100,36,0,0\n"
                    " Attr_194 = 100,100,0,38,0\n"
                    "ATTR_1=\n"
                    "ATTR_07=1,1,1,1,1\nATTR_0=1,1,1,1,1\nATTR_256=1,1,1,1,1\n"
                    "ATTR_+9=1,1,1,1,1\nATTR_12x=1,1,1,1,1\nATTR_5=1,1,1,1,1\n"
                    "[HDDINFO]\nATTR_4=1,1,1,1,1\n"
                    "[SMARTS]\nATTR_3=1,1,1,1,1\n");
    CIniStore table;
    table.OpenText("");
    const ReportEvaluation result = EvaluateReportStores(report, table);
    ASSERT_EQ(result.rows.size(), 2u);
    EXPECT_EQ(result.rows[0].id, 5);
    EXPECT_EQ(result.rows[0].reading.current, 100); // the first ATTR_5 of the section
    EXPECT_EQ(result.rows[1].id, 194);
    EXPECT_FALSE(result.parseError);
}

} // namespace
