#include "ui/history_steps.h"

#include <gtest/gtest.h>

namespace {

constexpr std::int64_t kHour = 3600;
constexpr std::int64_t kDay = 24 * kHour;

struct AxisCase {
    const char* name;
    double low;
    double high;
    ValueAxisRange expected;
};

void PrintTo(const AxisCase& c, std::ostream* out) {
    *out << c.name;
}

class WholeNumberAxisTest : public testing::TestWithParam<AxisCase> {};

TEST_P(WholeNumberAxisTest, TicksAreDistinctWholeNumbers) {
    const AxisCase& c = GetParam();
    EXPECT_EQ(WholeNumberAxis(c.low, c.high), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WholeNumberAxisTest,
    testing::Values(AxisCase{"constant", 8, 8, {7, 9, 3}},
                    AxisCase{"constant_zero_stays_non_negative", 0, 0, {0, 1, 2}},
                    AxisCase{"five_steps_of_one", 0, 5, {0, 5, 6}},
                    AxisCase{"six_steps_take_twos", 0, 6, {0, 6, 4}},
                    AxisCase{"reallocated_sectors", 0, 304, {0, 400, 5}},
                    AxisCase{"value_and_threshold", 31, 105, {20, 120, 6}},
                    AxisCase{"hours_of_ten_years", 1000, 88600, {0, 100000, 6}},
                    AxisCase{"packed_48_bit", 0, 281474976710655.0, {0, 3e14, 4}}),
    [](const testing::TestParamInfo<AxisCase>& info) { return std::string(info.param.name); });

struct FormatCase {
    const char* name;
    std::int64_t span; // first is 0
    const char* expected;
};

class TimeAxisFormatTest : public testing::TestWithParam<FormatCase> {};

TEST_P(TimeAxisFormatTest, ShortestFormatThatTellsTicksApart) {
    EXPECT_STREQ(TimeAxisFormat(0, GetParam().span, 5), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TimeAxisFormatTest,
    testing::Values(FormatCase{"one_reading_hour", kHour, "yyyy-MM-dd HH:mm"},
                    FormatCase{"four_days_are_one_a_tick", 4 * kDay, "yyyy-MM-dd HH:mm"},
                    FormatCase{"days_and_an_hour", 4 * (kDay + kHour), "yyyy-MM-dd"},
                    FormatCase{"ten_years", 3653 * kDay, "yyyy-MM"},
                    FormatCase{"three_minutes", 3 * 60, "MM-dd HH:mm:ss"}),
    [](const testing::TestParamInfo<FormatCase>& info) { return std::string(info.param.name); });

HistoryPoint At(std::int64_t time) {
    return {time, {5, 100, 100, 36, 0}};
}

TEST(ChartEnd, OneReadingGetsAnHour) {
    EXPECT_EQ(ChartEnd({At(1000)}, std::nullopt), 1000 + kHour);
    EXPECT_EQ(ChartEnd({At(1000)}, 1000), 1000 + kHour);
}

TEST(ChartEnd, FiftiethOfTheTimePastTheLastSeenRun) {
    // Seen 50 days after the first sample: one day past it.
    EXPECT_EQ(ChartEnd({At(0), At(10 * kDay)}, 50 * kDay), 51 * kDay);
    // A last-seen time before the last sample does not pull the end back.
    EXPECT_EQ(ChartEnd({At(0), At(50 * kDay)}, 5 * kDay), 51 * kDay);
}

} // namespace
