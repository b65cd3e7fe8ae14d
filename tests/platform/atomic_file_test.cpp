#include "platform/atomic_file.h"
#include "support/temp_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
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

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

class AtomicFileTest : public testing::Test {
protected:
    AtomicFileTest() : m_fd(open(m_folder.Path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}
    ~AtomicFileTest() override { close(m_fd); }

    bool Write(const std::string& name, const std::string& content) {
        return WriteFileAtomically(m_fd, name, content, m_problem);
    }

    TempFolder m_folder;
    int m_fd;
    std::string m_problem;
};

TEST_F(AtomicFileTest, WritesANewFileReadableByAll) {
    const mode_t old = umask(077);
    ASSERT_TRUE(Write("a.ini", "one\n")) << m_problem;
    umask(old);
    EXPECT_EQ(Read(m_folder / "a.ini"), "one\n");
    struct stat info {};
    ASSERT_EQ(stat((m_folder / "a.ini").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
    EXPECT_EQ(Entries(m_folder.Path()).size(), 1u) << "a temporary file was left behind";
}

TEST_F(AtomicFileTest, ReplacesAnOldFile) {
    m_folder.Write("a.ini", "old old old old\n");
    ASSERT_TRUE(Write("a.ini", "new\n")) << m_problem;
    EXPECT_EQ(Read(m_folder / "a.ini"), "new\n");
}

TEST_F(AtomicFileTest, PlantedLinkIsReplacedNotFollowed) {
    TempFolder elsewhere;
    const std::string victim = elsewhere.Write("victim", "precious\n");
    const std::string dangling = elsewhere / "created-through-link";
    ASSERT_EQ(symlink(victim.c_str(), (m_folder / "a.ini").c_str()), 0);
    ASSERT_EQ(symlink(dangling.c_str(), (m_folder / "b.ini").c_str()), 0);

    ASSERT_TRUE(Write("a.ini", "report\n")) << m_problem;
    ASSERT_TRUE(Write("b.ini", "report\n")) << m_problem;

    EXPECT_EQ(Read(victim), "precious\n");
    EXPECT_NE(access(dangling.c_str(), F_OK), 0);
    EXPECT_TRUE(IsRegularFile(m_folder / "a.ini"));
    EXPECT_TRUE(IsRegularFile(m_folder / "b.ini"));
    EXPECT_EQ(Read(m_folder / "a.ini"), "report\n");
}

TEST_F(AtomicFileTest, FolderAtTheNameFailsAndLeavesNoTemporaryFile) {
    ASSERT_EQ(mkdir((m_folder / "a.ini").c_str(), 0755), 0);
    EXPECT_FALSE(Write("a.ini", "report\n"));
    EXPECT_NE(m_problem.find("renaming failed"), std::string::npos) << m_problem;
    EXPECT_EQ(Entries(m_folder.Path()).size(), 1u);
}

TEST(AtomicFile, BadFolderDescriptorFails) {
    std::string problem;
    EXPECT_FALSE(WriteFileAtomically(-1, "x.ini", "x", problem));
    EXPECT_NE(problem.find("temporary"), std::string::npos);
}

} // namespace
