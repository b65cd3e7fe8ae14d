// The state file: a whole one is read field by field; anything damaged
// reads as empty and says so, never half a state.
#include "notify/notified_state.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace {

TEST(NotifiedState, ReadsEveryField) {
    NotifiedState state;
    ASSERT_TRUE(ParseNotifiedState(R"({"version":1,"warnings":[
        {"model":"ST31000528AS","serial":"9VP DEMO","kind":"below-threshold","attribute":5,"value":1},
        {"model":"モデル","serial":"","kind":"temperature","attribute":194,"value":61}],
        "bubbles":[{"model":"モデル","serial":"","id":4294967295}]})",
                                   state));
    const std::vector<NotifiedWarning>& entries = state.warnings;
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].model, "ST31000528AS");
    EXPECT_EQ(entries[0].serial, "9VP DEMO");
    EXPECT_EQ(entries[0].kind, WarningKind::BelowThreshold);
    EXPECT_EQ(entries[0].attributeId, 5);
    EXPECT_EQ(entries[0].value, 1);
    EXPECT_EQ(entries[1].model, "モデル");
    EXPECT_EQ(entries[1].kind, WarningKind::Temperature);
    EXPECT_EQ(entries[1].value, 61);
    ASSERT_EQ(state.bubbles.size(), 1u);
    EXPECT_EQ(state.bubbles[0].model, "モデル");
    EXPECT_EQ(state.bubbles[0].id, 4294967295u);
}

TEST(NotifiedState, WrittenStateReadsBack) {
    const NotifiedState written{
        {{"A \"quoted\"\tmodel", "S\n1", WarningKind::Counter, 197, INT64_MAX},
         {"B", "S2", WarningKind::Verdict, 255, 0},
         {"C", "S3", WarningKind::Counter, 5, std::nullopt}},
        {{"B", "S2", 7}},
        "0123/:1.5"};
    NotifiedState read;
    ASSERT_TRUE(ParseNotifiedState(FormatNotifiedState(written), read));
    ASSERT_EQ(read.warnings.size(), 3u);
    EXPECT_EQ(read.warnings[0].model, written.warnings[0].model);
    EXPECT_EQ(read.warnings[0].serial, written.warnings[0].serial);
    EXPECT_EQ(read.warnings[0].value, INT64_MAX);
    EXPECT_EQ(read.warnings[1].kind, WarningKind::Verdict);
    EXPECT_EQ(read.warnings[2].value, std::nullopt);
    ASSERT_EQ(read.bubbles.size(), 1u);
    EXPECT_EQ(read.bubbles[0].id, 7u);
    EXPECT_EQ(read.server, "0123/:1.5");
}

// A value no 64-bit count can hold is unknown, never cast (undefined
// behaviour); the entry itself still counts as told.
class UnusableValue : public ::testing::TestWithParam<const char*> {};

TEST_P(UnusableValue, ReadsAsUnknown) {
    NotifiedState state;
    ASSERT_TRUE(
        ParseNotifiedState(std::string(R"({"version":1,"warnings":[{"model":"M","serial":"S",)"
                                       R"("kind":"counter","attribute":5,"value":)") +
                               GetParam() + "}]}",
                           state));
    ASSERT_EQ(state.warnings.size(), 1u);
    EXPECT_EQ(state.warnings[0].value, std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Notify, UnusableValue,
                         ::testing::Values("1e300", "-1e300", "9223372036854775808", "-1e19", "8.5",
                                           "\"8\"", "null", "[8]"));

class DamagedState : public ::testing::TestWithParam<const char*> {};

TEST_P(DamagedState, ReadsAsEmpty) {
    NotifiedState state{
        {{"left", "over", WarningKind::Counter, 5, 1}}, {{"left", "over", 3}}, "left over"};
    EXPECT_FALSE(ParseNotifiedState(GetParam(), state));
    EXPECT_TRUE(state.warnings.empty());
    EXPECT_TRUE(state.server.empty());
    EXPECT_TRUE(state.bubbles.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Notify, DamagedState,
    ::testing::Values(
        "", "garbage", "[]", R"({"version":1,"warnings":[{"model":)",
        R"({"version":2,"warnings":[]})", R"({"warnings":[]})", R"({"version":1})",
        R"({"version":1,"warnings":[{"serial":"S","kind":"counter","attribute":5,"value":1}]})",
        R"({"version":1,"warnings":[{"model":"M","serial":"S","kind":"odd","attribute":5,"value":1}]})",
        R"({"version":1,"warnings":[{"model":"M","serial":"S","kind":"counter","attribute":"5","value":1}]})",
        R"({"version":1,"warnings":[{"model":"M","serial":"S","kind":"counter","attribute":-1,"value":1}]})",
        R"({"version":1,"warnings":[{"model":"M","serial":"S","kind":"counter","attribute":5,"value":1},7]})",
        R"({"version":1,"warnings":[{"model":"M","serial":"S","kind":"counter","attribute":1e300,"value":1}]})",
        R"({"version":1,"warnings":[],"bubbles":{}})", R"({"version":1,"warnings":[],"server":7})",
        R"({"version":1,"warnings":[],"bubbles":[{"model":"M","serial":"S","id":0}]})",
        R"({"version":1,"warnings":[],"bubbles":[{"model":"M","serial":"S","id":4294967296}]})",
        R"({"version":1,"warnings":[],"bubbles":[{"model":"M","id":3}]})"));

} // namespace
