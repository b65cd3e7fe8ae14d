#include "config/ini_file.h"
#include "config/ini_store.h"
#include "config/program_folder.h"
#include "report/drive_panel.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <string>

namespace {

class DrivePanelTest : public ::testing::Test {
protected:
    void SetUp() override { SetProgramFolderForTesting(m_folder.Path()); }
    void TearDown() override { SetProgramFolderForTesting(""); }

    DrivePanelTexts PanelOf(const std::string& report) {
        m_folder.Write("smart_PhysicalDrive0.ini", report);
        CIniStore store;
        store.Open("smart_PhysicalDrive0.ini");
        return ComputeDrivePanel(store, m_noVendorTable);
    }

    TempFolder m_folder;
    const CIniFile m_noVendorTable{};
};

TEST_F(DrivePanelTest, CapacityShowsGbPlainAndGibGrouped) {
    const std::pair<const char*, const char*> cases[] = {
        {"SIZE_GB=1000\nSIZE_GIB=931\n", "容量： 1000 GB (931 GiB)"},
        {"SIZE_GB=2000\nSIZE_GIB=1863\n", "容量： 2000 GB (1,863 GiB)"},
        {"SIZE_GB=1073741\nSIZE_GIB=1000000\n", "容量： 1073741 GB (1,000,000 GiB)"},
        {"SIZE_GB=1\nSIZE_GIB=1234567890\n", "容量： 1 GB (1234,567,890 GiB)"},
        {"SIZE_GIB=999999\n", "容量： -1 GB (999,999 GiB)"},
        {"", "容量： -1 GB (-1 GiB)"},
        {"SIZE_GB=\nSIZE_GIB=x\n", "容量： 0 GB (0 GiB)"},
    };
    for (const auto& [keys, capacity] : cases) {
        EXPECT_EQ(PanelOf(std::string("[HDDINFO]\n") + keys).capacity, capacity) << keys;
    }
}

TEST_F(DrivePanelTest, IdentityTextsFollowTheirLabels) {
    const DrivePanelTexts panel = PanelOf("[HDDINFO]\nMODEL=Hitachi HDS721010KLA330\n"
                                          "SERIAL_NUMBER=GTA000PAG1ABCD\n"
                                          "FIRMWARE_REVISION=GKAOA74A\n");
    EXPECT_EQ(panel.vendor, "メーカ： Hitachi");
    EXPECT_EQ(panel.model, "モデル： Hitachi HDS721010KLA330");
    EXPECT_EQ(panel.series, "      (Deskstar 7K Series)");
    EXPECT_EQ(panel.serial, "S/N： GTA000PAG1ABCD");
    EXPECT_EQ(panel.firmware, "Firmware Revision： GKAOA74A");
}

TEST_F(DrivePanelTest, MissingReportGivesTheDefaults) {
    CIniStore store;
    store.Open("smart_PhysicalDrive7.ini");
    const DrivePanelTexts panel = ComputeDrivePanel(store, m_noVendorTable);
    EXPECT_EQ(panel.vendor, "メーカ： Unknown Vendor");
    EXPECT_EQ(panel.model, "モデル： ");
    EXPECT_EQ(panel.series, "");
    EXPECT_EQ(panel.serial, "S/N： ");
    EXPECT_EQ(panel.firmware, "Firmware Revision： ");
    EXPECT_EQ(panel.capacity, "容量： -1 GB (-1 GiB)");
}

TEST(FormatSeriesLine, IndentsSeriesOfAtMostTwentySixBytes) {
    const std::string s26(26, 's');
    const std::string s27(27, 's');
    EXPECT_EQ(FormatSeriesLine(""), "");
    EXPECT_EQ(FormatSeriesLine("a"), "      (a)");
    EXPECT_EQ(FormatSeriesLine(s26.c_str()), "      (" + s26 + ")");
    EXPECT_EQ(FormatSeriesLine(s27.c_str()), "(" + s27 + ")");
    // Bytes, not characters: nine three-byte characters are 27 bytes.
    EXPECT_EQ(FormatSeriesLine("温温温温温温温温温"), "(温温温温温温温温温)");
}

} // namespace
