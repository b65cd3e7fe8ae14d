#include "collector/report_folder.h"
#include "collector_test_support.h"
#include "report/report_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace {

TEST(CReportFolder, MissingFolderCannotBeOpened) {
    CScratchFolder scratch;
    CReportFolder missing(scratch / "no-such-folder");
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_FALSE(missing.Problem().empty());
    EXPECT_FALSE(missing.WriteReport(0, "x"));
}

TEST(CReportFolder, RemovesReportsFromANumberOnwardAndLinksThemselves) {
    CScratchFolder scratch;
    CReportFolder folder(scratch.Path());
    CScratchFolder elsewhere;
    const std::string victim = elsewhere / "victim";
    WriteText(victim, "precious\n");
    for (const char* name :
         {"smart_PhysicalDrive0.ini", "smart_PhysicalDrive1.ini", "smart_PhysicalDrive2.ini",
          "smart_PhysicalDrive1049.ini", "smart_PhysicalDrive1050.ini", "other.ini"}) {
        WriteText(scratch / name, "r\n");
    }
    ASSERT_EQ(symlink(victim.c_str(), (scratch / "smart_PhysicalDrive5.ini").c_str()), 0);

    EXPECT_TRUE(folder.RemoveReportsFrom(1).HasValue());

    EXPECT_TRUE(Exists(scratch / "smart_PhysicalDrive0.ini"));
    for (const char* gone : {"smart_PhysicalDrive1.ini", "smart_PhysicalDrive2.ini",
                             "smart_PhysicalDrive5.ini", "smart_PhysicalDrive1049.ini"}) {
        EXPECT_FALSE(Exists(scratch / gone)) << gone;
    }
    EXPECT_TRUE(Exists(scratch / "smart_PhysicalDrive1050.ini"));
    EXPECT_TRUE(Exists(scratch / "other.ini"));
    EXPECT_EQ(ReadText(victim), "precious\n");
}

} // namespace
