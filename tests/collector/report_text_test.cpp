#include "collector/report_text.h"
#include "collector/smart_report.h"
#include "collector_test_support.h"
#include "config/ini_store.h"

#include <gtest/gtest.h>
#include <string>

namespace {

struct TextCase {
    const char* name;
    std::string input;
    std::string expected;
};

TEST(SanitizeReportText, Cases) {
    const TextCase cases[] = {
        {"plain", "ST3500418AS", "ST3500418AS"},
        {"blanks trimmed", "  WDC WD20EFRX  ", "WDC WD20EFRX"},
        {"line breaks become spaces", "A\r\nB", "A  B"},
        {"DEL becomes a space",
         "A\x7f"
         "B",
         "A B"},
        {"C1 control becomes a space",
         "A\xC2\x85"
         "B",
         "A B"},
        {"no-break space is kept",
         "A\xC2\xA0"
         "B",
         "A\xC2\xA0"
         "B"},
        {"stray byte becomes U+FFFD",
         "A\xFF"
         "B",
         "A\xEF\xBF\xBD"
         "B"},
        {"overlong form is invalid", "\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"surrogate is invalid", "\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"cut sequence at the end", "A\xE3\x83", "A\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"four-byte character kept", "\xF0\x9F\x92\xBE", "\xF0\x9F\x92\xBE"},
        {"only blanks", " \t ", ""},
        {"empty", "", ""},
    };
    for (const TextCase& c : cases) {
        EXPECT_EQ(SanitizeReportText(c.input), c.expected) << c.name;
    }
}

TEST(SanitizeReportText, LongTextIsCutWithoutSplittingACharacter) {
    // 85 three-byte characters are 255 bytes; one more must not be cut in half.
    std::string kana;
    for (int i = 0; i < 86; ++i) {
        kana += "\xE3\x82\xA2";
    }
    const std::string cut = SanitizeReportText(kana);
    EXPECT_EQ(cut.size(), 255u);
    EXPECT_EQ(cut, kana.substr(0, 255));

    const std::string shifted = SanitizeReportText("x" + kana);
    EXPECT_EQ(shifted.size(), 253u);
    EXPECT_EQ(shifted, ("x" + kana).substr(0, 253));

    EXPECT_EQ(SanitizeReportText(std::string(300, 'a')).size(), kMaxReportTextBytes);
}

TEST(FormatReportIni, AttributesInAscendingIdOrderAndSizesOnlyWhenKnown) {
    SmartReport report;
    report.model = "M";
    report.attributes = {{194, 1, 2, 3, 4, 5}, {5, 100, 100, 10, -1, 65535}, {9, 0, 0, 0, 0, 0}};
    const std::string text = FormatReportIni(report);
    EXPECT_EQ(text, "[HDDINFO]\nMODEL=M\nSERIAL_NUMBER=\nFIRMWARE_REVISION=\n\n[SMARTS]\n"
                    "ATTR_5=100,100,10,-1,65535\nATTR_9=0,0,0,0,0\nATTR_194=1,2,3,4,5\n");

    report.capacityBytes = 500107862016u;
    const auto values = ParseReportText(FormatReportIni(report));
    EXPECT_EQ(values.at("HDDINFO::SIZE_GB"), "500");
    EXPECT_EQ(values.at("HDDINFO::SIZE_GIB"), "465");
}

TEST(FormatReportIni, QuotedTextsReadBackWithTheirQuotes) {
    const char* const texts[] = {"\"X\"", "'S'", "''", "\"\"\"", "\"X'", "\"", "a\"b\"", "\"a\"b"};
    const CScratchFolder scratch;
    for (const char* text : texts) {
        SmartReport report;
        report.model = text;
        report.serialNumber = text;
        report.firmwareRevision = text;
        const std::string path = scratch / "quoted.ini";
        WriteText(path, FormatReportIni(report));
        CIniStore store;
        store.Open(path.c_str());
        for (const char* key :
             {"HDDINFO::MODEL", "HDDINFO::SERIAL_NUMBER", "HDDINFO::FIRMWARE_REVISION"}) {
            EXPECT_STREQ(store.GetString(key, "missing"), text) << key << " of " << text;
        }
    }
}

TEST(FormatReportIni, CapacityBoundaries) {
    EXPECT_EQ(CapacityGb(999999999u), 0);
    EXPECT_EQ(CapacityGb(1000000000u), 1);
    EXPECT_EQ(CapacityGib(1073741823u), 0);
    EXPECT_EQ(CapacityGib(1073741824u), 1);
    EXPECT_EQ(CapacityGb(2147483647000000000u), 2147483647);
    EXPECT_EQ(CapacityGb(2147483648000000000u), 2147483647);
    EXPECT_EQ(CapacityGib(UINT64_MAX), 2147483647);
}

} // namespace
