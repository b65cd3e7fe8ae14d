#include "collector/atomic_file.h"
#include "collector/report_folder.h"
#include "collector_test_support.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::vector<std::string> Entries(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") {
                names.push_back(name);
            }
        }
        closedir(dir);
    }
    return names;
}

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

class AtomicFileTest : public testing::Test {
protected:
    CScratchFolder m_scratch;
    CReportFolder m_folder{m_scratch.Path()};
    std::string m_problem;
};

TEST_F(AtomicFileTest, WritesANewFileReadableByAll) {
    const mode_t old = umask(077);
    ASSERT_TRUE(m_folder.WriteReport(0, "one\n", m_problem)) << m_problem;
    umask(old);
    EXPECT_EQ(ReadText(m_scratch / "smart_PhysicalDrive0.ini"), "one\n");
    struct stat info {};
    ASSERT_EQ(stat((m_scratch / "smart_PhysicalDrive0.ini").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
    EXPECT_EQ(Entries(m_scratch.Path()).size(), 1u) << "a temporary file was left behind";
}

TEST_F(AtomicFileTest, ReplacesAnOldReport) {
    WriteText(m_scratch / "smart_PhysicalDrive3.ini", "old old old old\n");
    ASSERT_TRUE(m_folder.WriteReport(3, "new\n", m_problem)) << m_problem;
    EXPECT_EQ(ReadText(m_scratch / "smart_PhysicalDrive3.ini"), "new\n");
}

TEST_F(AtomicFileTest, PlantedLinkIsReplacedNotFollowed) {
    CScratchFolder elsewhere;
    const std::string victim = elsewhere / "victim";
    WriteText(victim, "precious\n");
    const std::string dangling = elsewhere / "created-through-link";
    ASSERT_EQ(symlink(victim.c_str(), (m_scratch / "smart_PhysicalDrive0.ini").c_str()), 0);
    ASSERT_EQ(symlink(dangling.c_str(), (m_scratch / "smart_PhysicalDrive1.ini").c_str()), 0);

    ASSERT_TRUE(m_folder.WriteReport(0, "report\n", m_problem)) << m_problem;
    ASSERT_TRUE(m_folder.WriteReport(1, "report\n", m_problem)) << m_problem;

    EXPECT_EQ(ReadText(victim), "precious\n");
    EXPECT_FALSE(Exists(dangling));
    EXPECT_TRUE(IsRegularFile(m_scratch / "smart_PhysicalDrive0.ini"));
    EXPECT_TRUE(IsRegularFile(m_scratch / "smart_PhysicalDrive1.ini"));
    EXPECT_EQ(ReadText(m_scratch / "smart_PhysicalDrive0.ini"), "report\n");
}

TEST_F(AtomicFileTest, FolderAtTheNameFailsAndLeavesNoTemporaryFile) {
    ASSERT_EQ(mkdir((m_scratch / "smart_PhysicalDrive0.ini").c_str(), 0755), 0);
    EXPECT_FALSE(m_folder.WriteReport(0, "report\n", m_problem));
    EXPECT_NE(m_problem.find("renaming failed"), std::string::npos) << m_problem;
    EXPECT_EQ(Entries(m_scratch.Path()).size(), 1u);
}

TEST_F(AtomicFileTest, MissingFolderCannotBeOpened) {
    CReportFolder missing(m_scratch / "no-such-folder");
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_FALSE(missing.Problem().empty());
    EXPECT_FALSE(missing.WriteReport(0, "x", m_problem));
}

TEST_F(AtomicFileTest, RemovesReportsFromANumberOnwardAndLinksThemselves) {
    CScratchFolder elsewhere;
    const std::string victim = elsewhere / "victim";
    WriteText(victim, "precious\n");
    for (int number : {0, 1, 2, 1049}) {
        WriteText(m_scratch / CReportFolder::FileName(number), "r\n");
    }
    WriteText(m_scratch / "smart_PhysicalDrive1050.ini", "not the viewer's\n");
    WriteText(m_scratch / "other.ini", "other\n");
    ASSERT_EQ(symlink(victim.c_str(), (m_scratch / "smart_PhysicalDrive5.ini").c_str()), 0);

    EXPECT_TRUE(m_folder.RemoveReportsFrom(1).empty());

    EXPECT_TRUE(Exists(m_scratch / "smart_PhysicalDrive0.ini"));
    for (int number : {1, 2, 5, 1049}) {
        EXPECT_FALSE(Exists(m_scratch / CReportFolder::FileName(number))) << number;
    }
    EXPECT_TRUE(Exists(m_scratch / "smart_PhysicalDrive1050.ini"));
    EXPECT_TRUE(Exists(m_scratch / "other.ini"));
    EXPECT_EQ(ReadText(victim), "precious\n");
}

TEST(AtomicFile, BadFolderDescriptorFails) {
    std::string problem;
    EXPECT_FALSE(WriteFileAtomically(-1, "x.ini", "x", problem));
    EXPECT_NE(problem.find("temporary"), std::string::npos);
}

} // namespace
