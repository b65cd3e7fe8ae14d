#include "ui/history_steps.h"
#include "ui/history_tips.h"

#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <ostream>

namespace {

HistoryPoint Sample(std::int64_t time, int value, std::int64_t raw, int id = 5) {
    return {time, {id, value, value, 36, raw}};
}

struct StepCase {
    const char* name;
    std::vector<HistoryPoint> points;
    HistoryField field;
    std::optional<std::int64_t> until;
    std::vector<StepPoint> expected;
};

// Test names show the case's name rather than its bytes.
void PrintTo(const StepCase& c, std::ostream* out) {
    *out << c.name;
}

class StepSeriesTest : public testing::TestWithParam<StepCase> {};

TEST_P(StepSeriesTest, CornersOfTheStepLine) {
    const StepCase& c = GetParam();
    EXPECT_EQ(StepSeries(c.points, c.field, c.until), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StepSeriesTest,
    testing::Values(
        StepCase{"empty", {}, HistoryField::Raw, 500, {}},
        StepCase{"one_sample", {Sample(100, 98, 8)}, HistoryField::Raw, std::nullopt, {{100, 8}}},
        StepCase{"one_sample_held_until_last_seen",
                 {Sample(100, 98, 8)},
                 HistoryField::Raw,
                 400,
                 {{100, 8}, {400, 8}}},
        StepCase{"last_seen_before_last_sample_is_ignored",
                 {Sample(100, 98, 8), Sample(200, 97, 9)},
                 HistoryField::Raw,
                 150,
                 {{100, 8}, {200, 8}, {200, 9}}},
        StepCase{"change_is_a_vertical_step",
                 {Sample(100, 100, 0), Sample(200, 98, 8), Sample(300, 97, 20)},
                 HistoryField::Raw,
                 400,
                 {{100, 0}, {200, 0}, {200, 8}, {300, 8}, {300, 20}, {400, 20}}},
        StepCase{"another_fields_change_adds_no_corner",
                 {Sample(100, 100, 8), Sample(200, 98, 8)},
                 HistoryField::Raw,
                 std::nullopt,
                 {{100, 8}, {200, 8}}},
        StepCase{"current_value",
                 {Sample(100, 100, 0), Sample(200, 98, 8), Sample(300, 98, 9)},
                 HistoryField::Value,
                 std::nullopt,
                 {{100, 100}, {200, 100}, {200, 98}, {300, 98}}},
        StepCase{"threshold",
                 {Sample(100, 100, 0), Sample(200, 98, 8)},
                 HistoryField::Threshold,
                 250,
                 {{100, 36}, {250, 36}}}),
    [](const testing::TestParamInfo<StepCase>& info) { return std::string(info.param.name); });

class LocalZone : public testing::Test {
protected:
    void Use(const char* zone) {
        setenv("TZ", zone, 1);
        tzset();
    }
    void TearDown() override {
        unsetenv("TZ");
        tzset();
    }
};

// 2026-11-30 23:30:00 UTC
constexpr std::int64_t kLateEvening = 1796081400;

TEST_F(LocalZone, RawChangeTipNamesEachChangedAttribute) {
    Use("UTC");
    const std::map<int, std::string> tips = RawChangeTips({
        {5, kLateEvening, 304, 312},
        {197, kLateEvening - 2 * 86400, 999, 1234567}, // grouped like the table
    });
    EXPECT_EQ(tips, (std::map<int, std::string>{
                        {5, "生の値 304 → 312（2026-11-30 に変化）"},
                        {197, "生の値 999 → 1,234,567（2026-11-28 に変化）"},
                    }));
}

TEST_F(LocalZone, DatesAreLocal) {
    Use("JST-9");
    EXPECT_EQ(RawChangeTips({{5, kLateEvening, 1, 2}}).at(5),
              "生の値 1 → 2（2026-12-01 に変化）");
    EXPECT_EQ(ReportWrittenTip(kLateEvening), "レポート作成: 2026-12-01 08:30");
}

TEST_F(LocalZone, ReportWrittenTipInMinutes) {
    Use("UTC");
    EXPECT_EQ(ReportWrittenTip(kLateEvening + 59), "レポート作成: 2026-11-30 23:30");
}

} // namespace
