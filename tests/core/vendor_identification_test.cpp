#include "config/ini_file.h"
#include "identify/vendor_identification.h"
#include "support/temp_folder.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

class VendorTest : public ::testing::Test {
protected:
    void SetUp() override {
        LoadTable("[MODEL_TABLE]\n"
                  "ST3500418AS=Barracuda 7200.12\n"
                  "ST4000DM004-2CV104=BarraCuda\n"
                  "ST99=" +
                  std::string(70, 'x') + "\n");
    }
    void LoadTable(const std::string& text) {
        ASSERT_TRUE(m_table.Load(m_folder.Write("vendor_table.ini", text)));
    }

    TempFolder m_folder;
    CIniFile m_table;
};

struct VendorCase {
    const char* model;
    const char* vendor;
    const char* series;
};

TEST_F(VendorTest, PrefixRulesGiveVendorAndSeries) {
    const VendorCase cases[] = {
        {"Maxtor 6Y1234", "MAXTOR", "DiamondMax Plus 9"},
        {"MAXTOR 6L1234", "MAXTOR", "DiamondMax 10"},
        {"Maxtor 6y1234", "MAXTOR", ""},
        {"Maxtor 6E1234", "MAXTOR", "DiamondMax Plus 8, 7200rpm, 2MB"},
        {"Maxtor 6H1234", "MAXTOR", "DiamondMax 11, 7200rpm"},
        {"Maxtor 4A1234", "MAXTOR", "DiamondMax 16, 5400rpm, 2MB"},
        {"Maxtor 6G1234", "MAXTOR", "DiamondMax 17, 7200rpm"},
        {"Maxtor 7L1234", "MAXTOR", "MaXLine III, 7200rpm, 16MB"},
        {"Maxtor 7H1234", "MAXTOR", "MaXLine Pro 500, 7200rpm, 16MB"},
        {"Maxtor 7Y1234", "MAXTOR", "MaXLine Series"},
        {"Maxtor 8C1234", "MAXTOR", "Atlas 15K"},
        {"Maxtor 8K1234", "MAXTOR", "Atlas 15K II"},
        {"Maxtor 8J1234", "MAXTOR", "Atlas Series"},
        {"Maxtor 6", "MAXTOR", ""},
        {"Maxtor 5A1234", "MAXTOR", ""},
        {"Maxtor ", "MAXTOR", ""},
        {"Maxtor", "Unknown Vendor", ""},
        {"ST3500418AS", "Seagate", "Barracuda 7200.12"},
        {"st3500418as", "Seagate", "Barracuda 7200.12"},
        {"ST12345", "Seagate", ""},
        {"ST99", "Seagate", "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"},
        {"WDC WD12345", "Western Digital", ""},
        {"TOSHIBA MK12345", "TOSHIBA", ""},
        {"TOSHIBAMK12345", "Unknown Vendor", ""},
        {"Hitachi HTS12345", "Hitachi", "Travelstar Series"},
        {"Hitachi HDT712345", "Hitachi", "Deskstar T7K Series"},
        {"Hitachi HDS712345", "Hitachi", "Deskstar 7K Series"},
        {"Hitachi dk23", "Hitachi", "Travelstar Series"},
        {"Hitachi XYZ", "Hitachi", ""},
        {"SAMSUNG HD12345", "SAMSUNG", ""},
        {"FUJITSU MH12345", "FUJITSU", ""},
        {"HDS712345", "HGST (Hitachi Globa ...", "Deskstar 7K Series"},
        {"hdt712345", "HGST (Hitachi Globa ...", "Deskstar T7K Series"},
        {"IC25X", "HGST (Hitachi Globa ...", "Travelstar Series"},
        {"IC35X", "HGST (Hitachi Globa ...", ""},
        {"HDT12345", "HGST (Hitachi Globa ...", ""},
        {"HTS12345", "Unknown Vendor", ""},
        {"", "Unknown Vendor", ""},
        {"Samsung SSD 970 EVO Plus 250GB", "SAMSUNG", ""},
        {"KINGSTON SA400S37240G", "Unknown Vendor", ""},
    };
    for (const VendorCase& c : cases) {
        char series[kSeriesBufferSize];
        std::memset(series, 'Z', sizeof series); // left over from a previous call
        EXPECT_STREQ(IdentifyVendor(c.model, series, m_table), c.vendor) << c.model;
        EXPECT_STREQ(series, c.series) << c.model;
    }
}

TEST_F(VendorTest, SeagateWithoutVendorTableHasNoSeries) {
    const CIniFile missing;
    char series[kSeriesBufferSize];
    EXPECT_STREQ(IdentifyVendor("ST3500418AS", series, missing), "Seagate");
    EXPECT_STREQ(series, "");
}

TEST_F(VendorTest, SeriesIsCutToSixtyThreeBytesOnACharacterBoundary) {
    std::string longSeries;
    for (int i = 0; i < 30; ++i) {
        longSeries += "温";
    }
    LoadTable("[MODEL_TABLE]\nST1=" + longSeries + "\n");
    char series[kSeriesBufferSize];
    IdentifyVendor("ST1", series, m_table);
    EXPECT_EQ(std::string(series), longSeries.substr(0, 63));
}

} // namespace
