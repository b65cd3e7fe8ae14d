#include "ui/self_test_actions.h"

#include <gtest/gtest.h>

TEST(SelfTestActions, LastOutputLine) {
    const struct {
        std::string output;
        std::string line;
    } cases[] = {
        {"", ""},
        {"\n \n", ""},
        {"quelmaro: refused\n", "quelmaro: refused"},
        {"first\nlast\n\n  \n", "last"},
        {"no newline", "no newline"},
        {"  a\r\n", "a"},
        {"esc \x1b[31mred\n", "esc  [31mred"},
        {"bad \xff byte", "bad \xEF\xBF\xBD byte"},
        {std::string(299, 'x') + "\xE3\x81\x82", std::string(299, 'x')}, // never half a character
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LastOutputLine(c.output), c.line) << c.output;
    }
}

TEST(SelfTestActions, NoCollectorToRun) {
    SelfTestRun run; // not started
    const SelfTestAnswer answer = SelfTestAnswerFor(SelfTestAction::Abort, run);
    EXPECT_FALSE(answer.succeeded);
    EXPECT_EQ(answer.text, "quelmaro が見つからないため、自己診断を中止できません。");
}

TEST(SelfTestActions, RowTexts) {
    SelfTestRecord record;
    record.type = "vendor-specific"; // a word the viewer does not know shows as it is
    record.outcome = "interrupted";
    record.hours = 18446744073709551615ull;
    record.lba = 0;
    EXPECT_EQ(SelfTestRowTexts(21, record),
              (std::vector<std::string>{"21", "vendor-specific", "中断（リセット）",
                                        "18446744073709551615 時間", "0"}));
}
