#include "config/decimal.h"
#include "config/format_bounded.h"
#include "config/split_fields.h"
#include "config/text_encoding.h"
#include "platform/utf8.h"

#include <climits>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct SplitCase {
    const char* text;
    unsigned flags;
    std::vector<std::string> fields;
};

TEST(SplitFields, CutsAtCommasAndDropsEmptyPiecesOnlyWhenAsked) {
    const SplitCase cases[] = {
        {"1,2,3,4,5", SPLIT_SKIP_EMPTY, {"1", "2", "3", "4", "5"}},
        {"1,,2,3,4,5", SPLIT_SKIP_EMPTY, {"1", "2", "3", "4", "5"}},
        {",1,2,3,4,5", SPLIT_SKIP_EMPTY, {"1", "2", "3", "4", "5"}},
        {"1,2,3,4,5,", SPLIT_SKIP_EMPTY, {"1", "2", "3", "4", "5"}},
        {",,,", SPLIT_SKIP_EMPTY, {}},
        {"abc", SPLIT_SKIP_EMPTY, {"abc"}},
        {"1, 2,3,4,5", SPLIT_SKIP_EMPTY, {"1", " 2", "3", "4", "5"}},
        {"a,,b", 0, {"a", "", "b"}},
        {"a,", 0, {"a", ""}},
        {"", 0, {}},
        {"", SPLIT_SKIP_EMPTY, {}},
        {",", 0, {"", ""}},
        // Bits other than SPLIT_SKIP_EMPTY mean nothing.
        {"a,,b", 1 | 4 | 0x80000000u, {"a", "", "b"}},
    };
    for (const SplitCase& c : cases) {
        std::vector<std::string> fields = {"left", "over"};
        const int count = SplitFields(c.text, ",", fields, c.flags);
        EXPECT_EQ(count, static_cast<int>(c.fields.size())) << c.text;
        EXPECT_EQ(fields, c.fields) << c.text;
    }
}

TEST(SplitFields, LeavesTheCallersTextUnchanged) {
    const char text[] = "1,2,3";
    std::vector<std::string> fields;
    SplitFields(text, ",", fields, 0);
    EXPECT_STREQ(text, "1,2,3");
}

struct FormatCase {
    unsigned size;
    const char* text;
    const char* expected;
    int result;
};

TEST(FormatBounded, CutsToSizeMinusOneAndAlwaysTerminates) {
    const FormatCase cases[] = {
        {8, "1234567", "1234567", 7},
        {8, "12345678", "1234567", -1},
        {8, "", "", 0},
        {1, "x", "", -1},
        {1, "", "", 0},
        // A cut never splits a UTF-8 character: "温度" is 6 bytes.
        {6, "温度", "温", -1},
        {7, "温度", "温度", 6},
        {5, "a温度", "a温", -1},
        {4, "a温度", "a", -1},
        {3, "ab℃", "ab", -1},
    };
    for (const FormatCase& c : cases) {
        char buffer[16];
        std::memset(buffer, 'Z', sizeof buffer);
        EXPECT_EQ(FormatBounded(buffer, c.size, "%s", c.text), c.result) << c.text;
        EXPECT_STREQ(buffer, c.expected) << c.text << " size " << c.size;
        EXPECT_EQ(buffer[c.size], 'Z') << "wrote past the buffer";
    }
}

TEST(FormatBounded, SizeZeroWritesNothing) {
    char buffer[2] = {'Q', 'Q'};
    EXPECT_EQ(FormatBounded(buffer, 0, "%d", 12), -1);
    EXPECT_EQ(buffer[0], 'Q');
}

TEST(Utf8PrefixLength, KeepsWholeCharactersOnly) {
    const std::string text = "aé温😀"; // 1 + 2 + 3 + 4 bytes
    const std::size_t expected[] = {0, 1, 1, 3, 3, 3, 6, 6, 6, 6, 10, 10};
    for (std::size_t limit = 0; limit < std::size(expected); ++limit) {
        EXPECT_EQ(Utf8PrefixLength(text.data(), text.size(), limit), expected[limit])
            << "limit " << limit;
    }
}

struct DecimalCase {
    const char* text;
    int value;
};

TEST(ParseDecimalInt, ReadsLikeAtoiAndSaturatesBeyondThirtyTwoBits) {
    const DecimalCase cases[] = {
        {"12abc", 12},
        {"   ", 0},
        {"abc", 0},
        {"", 0},
        {"-5", -5},
        {"+5", 5},
        {" \t\n42", 42},
        {"--5", 0},
        {"+-5", 0},
        {"- 5", 0},
        {"2147483647", INT_MAX},
        {"2147483648", INT_MAX},
        {"-2147483648", INT_MIN},
        {"-2147483649", INT_MIN},
        {"99999999999999999999999999999", INT_MAX},
        {"-99999999999999999999999999999", INT_MIN},
        {"0000000000000000000000000000012", 12},
        {"4294967295", INT_MAX},
    };
    for (const DecimalCase& c : cases) {
        EXPECT_EQ(ParseDecimalInt(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(ParseDecimalInt64, ReadsLikeAtoiAndSaturatesBeyondSixtyFourBits) {
    const std::pair<const char*, long long> cases[] = {
        {"12abc", 12},
        {"-5", -5},
        {"2147483648", 2147483648LL},
        {"9223372036854775807", LLONG_MAX},
        {"9223372036854775808", LLONG_MAX},
        {"-9223372036854775808", LLONG_MIN},
        {"-9223372036854775809", LLONG_MIN},
        {"99999999999999999999999999999", LLONG_MAX},
        {"-99999999999999999999999999999", LLONG_MIN},
    };
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(ParseDecimalInt64(text), value) << '"' << text << '"';
    }
}

struct EncodingCase {
    const char* name;
    std::string bytes;
    std::string utf8;
};

TEST(ToUtf8, TakesUtf8AsItIsAndDecodesEverythingElseFromCp932) {
    const EncodingCase cases[] = {
        {"ascii", "MODEL=ST3500418AS", "MODEL=ST3500418AS"},
        {"utf-8", "温度", "温度"},
        {"shift-jis", "\x89\xB7\x93\x78", "温度"},
        {"half-width katakana", "\xDC\xB0\xBD\xC4", "ﾜｰｽﾄ"},
        // CP932 extensions that plain Shift-JIS lacks: circled digit one, NEC row 13.
        {"cp932 extension", "\x87\x40", "①"},
        {"invalid lead byte",
         "a\xFF"
         "b",
         "a\xEF\xBF\xBD"
         "b"},
        {"truncated double byte", "a\x89", "a\xEF\xBF\xBD"},
        {"overlong utf-8 reads as cp932 katakana", "\xC0\xAF", "ﾀｯ"},
    };
    for (const EncodingCase& c : cases) {
        EXPECT_EQ(ToUtf8(c.bytes), c.utf8) << c.name;
        EXPECT_TRUE(IsValidUtf8(ToUtf8(c.bytes))) << c.name;
    }
}

TEST(IsValidUtf8, RejectsSurrogatesOverlongsAndTruncation) {
    EXPECT_TRUE(IsValidUtf8("𝄞 and ℃"));
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));     // U+D800
    EXPECT_FALSE(IsValidUtf8("\xE0\x80\xAF"));     // overlong '/'
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80")); // above U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xE6\xB8"));         // truncated
    EXPECT_FALSE(IsValidUtf8("\x80"));
}

} // namespace
