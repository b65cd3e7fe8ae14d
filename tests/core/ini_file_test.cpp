#include "config/ini_file.h"

#include <gtest/gtest.h>
#include <string>

namespace {

struct LookupCase {
    const char* name;
    std::string text;
    const char* section;
    const char* key;
    const char* expected; // nullptr: missing
};

template <std::size_t N> void ExpectLookups(const LookupCase (&cases)[N]) {
    for (const LookupCase& c : cases) {
        CIniFile file;
        file.Parse(c.text);
        const std::string* value = file.Find(c.section, c.key);
        if (c.expected == nullptr) {
            EXPECT_EQ(value, nullptr) << c.name;
        } else {
            ASSERT_NE(value, nullptr) << c.name;
            EXPECT_EQ(*value, c.expected) << c.name;
        }
    }
}

TEST(CIniFile, FollowsTheReportFileRules) {
    const LookupCase cases[] = {
        {"plain", "[S]\nK=v\n", "S", "K", "v"},
        {"crlf line ends", "[S]\r\nK=v\r\n", "S", "K", "v"},
        {"no final line end", "[S]\nK=v", "S", "K", "v"},
        {"byte-order mark", "\xEF\xBB\xBF[S]\nK=v\n", "S", "K", "v"},
        {"names ignore ascii case", "[hddinfo]\nmodel=x\n", "HDDINFO", "MODEL", "x"},
        {"blanks trimmed", "  [ S ]  \n  K  =  v w  \n", "S", "K", "v w"},
        {"split at the first equals", "[S]\nK=a=b\n", "S", "K", "a=b"},
        {"double quotes removed", "[S]\nK=\"  q  \"\n", "S", "K", "  q  "},
        {"single quotes removed", "[S]\nK='q'\n", "S", "K", "q"},
        {"unmatched quotes kept", "[S]\nK=\"q'\n", "S", "K", "\"q'"},
        {"one quote kept", "[S]\nK=\"\n", "S", "K", "\""},
        {"empty value", "[S]\nK=\n", "S", "K", ""},
        {"comment line", "[S]\n;K=v\n", "S", "K", nullptr},
        {"first key wins", "[S]\nK=1\nK=2\n", "S", "K", "1"},
        {"first section wins", "[S]\nA=1\n[S]\nK=2\n", "S", "K", nullptr},
        {"key before any section", "K=v\n[S]\n", "S", "K", nullptr},
        {"line without equals", "[S]\nK\n", "S", "K", nullptr},
        {"missing section", "[T]\nK=v\n", "S", "K", nullptr},
        {"unclosed section name", "[S\nK=v\n", "S", "K", "v"},
        {"nul ends the line", std::string("[S]\nK=ab\0cd\n", 13), "S", "K", "ab"},
        {"shift-jis value", "[S]\nK=\x89\xB7\x93\x78\n", "S", "K", "温度"},
        {"utf-8 value", "[S]\nK=温度\n", "S", "K", "温度"},
        {"non-ascii key", "[S]\n温度=1\n", "S", "温度", "1"},
    };
    ExpectLookups(cases);
}

TEST(CIniFile, ManySectionsAndLongLinesStillParse) {
    std::string text;
    for (int i = 0; i < 5000; ++i) {
        text += "[S" + std::to_string(i) + "]\nK=" + std::to_string(i) + "\n";
    }
    text += "[LONG]\nK=" + std::string(1 << 20, 'x') + "\n";
    CIniFile file;
    file.Parse(text);
    ASSERT_NE(file.Find("S4999", "K"), nullptr);
    EXPECT_EQ(*file.Find("S4999", "K"), "4999");
    ASSERT_NE(file.Find("LONG", "K"), nullptr);
    EXPECT_EQ(file.Find("LONG", "K")->size(), 1u << 20);
}

TEST(CIniFile, RepeatedSectionsAndKeysNeverReplaceTheFirst) {
    const LookupCase cases[] = {
        {"later section in other case", "[S]\nK=1\n[s]\nK=2\n", "S", "K", "1"},
        {"key only in a later section", "[S]\nA=1\n[T]\n[s]\nK=2\n", "S", "K", nullptr},
        {"key in other case", "[S]\nk=1\nK=2\n", "S", "K", "1"},
        {"first of two empty values", "[S]\nK=\nK=2\n", "S", "K", ""},
        {"section between repeats", "[S]\nK=1\n[T]\nK=3\n[S]\nK=2\n", "T", "K", "3"},
        {"ascii case only", "[\xC3\xA9]\nK=1\n[\xC3\x89]\nK=2\n", "\xC3\x89", "K", "2"},
    };
    ExpectLookups(cases);
}

TEST(CIniFile, AFileOfTheSizeLimitFullOfRepeatsStillAnswers) {
    // The largest file read, made of one name over and over: the first of
    // each counts, later ones are dropped while reading.
    std::string text = "[S]\nK=first\n";
    while (text.size() + 6 <= CIniFile::kMaxFileSize) {
        text += "[s]\nK=\n";
    }
    CIniFile file;
    file.Parse(text);
    ASSERT_NE(file.Find("S", "K"), nullptr);
    EXPECT_EQ(*file.Find("S", "K"), "first");
    EXPECT_EQ(file.Find("T", "K"), nullptr);
}

} // namespace
