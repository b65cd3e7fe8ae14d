// The state file: a whole one is read field by field; anything damaged
// reads as empty and says so, never half a state.
#include "notify/notified_state.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

TEST(NotifiedState, ReadsEveryField) {
    std::vector<NotifiedWarning> entries;
    ASSERT_TRUE(ParseNotifiedState(R"({"version":1,"warnings":[
        {"model":"ST31000528AS","serial":"9VP DEMO","kind":"below-threshold","attribute":5,"value":1},
        {"model":"モデル","serial":"","kind":"temperature","attribute":194,"value":61}]})",
                                   entries));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].model, "ST31000528AS");
    EXPECT_EQ(entries[0].serial, "9VP DEMO");
    EXPECT_EQ(entries[0].kind, WarningKind::BelowThreshold);
    EXPECT_EQ(entries[0].attributeId, 5);
    EXPECT_EQ(entries[0].value, 1);
    EXPECT_EQ(entries[1].model, "モデル");
    EXPECT_EQ(entries[1].kind, WarningKind::Temperature);
    EXPECT_EQ(entries[1].value, 61);
}

TEST(NotifiedState, WrittenStateReadsBack) {
    const std::vector<NotifiedWarning> written{
        {"A \"quoted\"\tmodel", "S\n1", WarningKind::Counter, 197, 4232},
        {"B", "S2", WarningKind::Verdict, 255, 0}};
    std::vector<NotifiedWarning> read;
    ASSERT_TRUE(ParseNotifiedState(FormatNotifiedState(written), read));
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0].model, written[0].model);
    EXPECT_EQ(read[0].serial, written[0].serial);
    EXPECT_EQ(read[0].value, 4232);
    EXPECT_EQ(read[1].kind, WarningKind::Verdict);
}

class DamagedState : public ::testing::TestWithParam<const char*> {};

TEST_P(DamagedState, ReadsAsEmpty) {
    std::vector<NotifiedWarning> entries{{"left", "over", WarningKind::Counter, 5, 1}};
    EXPECT_FALSE(ParseNotifiedState(GetParam(), entries));
    EXPECT_TRUE(entries.empty());
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
        R"({"version":1,"warnings":[{"model":"M","serial":"S","kind":"counter","attribute":5,"value":1},7]})"));

} // namespace
