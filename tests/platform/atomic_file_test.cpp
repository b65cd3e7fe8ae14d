#include "platform/atomic_file.h"
#include "support/temp_folder.h"

#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
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
        const Result<void> written = WriteFileAtomically(m_fd, name, content);
        m_problem = written.Problem();
        return written.HasValue();
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

// A process id that was in use and is not any more: a writer killed mid-write.
pid_t EndedProcess() {
    const pid_t child = fork();
    if (child == 0) {
        _exit(0);
    }
    waitpid(child, nullptr, 0);
    return child;
}

TEST_F(AtomicFileTest, StaleTemporariesOfAKilledWriterGoAndALiveWritersStay) {
    const std::string gone = std::to_string(EndedProcess());
    const std::string alive = std::to_string(getpid());
    const struct {
        std::string name;
        bool link;
        long ageSeconds;
        bool removed;
    } cases[] = {
        {".m.prom.tmp-" + gone + "-0-123", false, 0, true},
        {".m.prom.tmp-" + alive + "-1-123", false, 0, false},
        {".m.prom.tmp-" + alive + "-2-123", false, kStaleTemporaryAgeSeconds + 60, true},
        {".m.prom.tmp-" + gone + "-3-123", true, 0, false},
        {".m.prom.tmp-" + gone + "-4", false, 0, false},
        {".m.prom.tmp-" + gone + "-5-12x", false, 0, false},
        {".other.prom.tmp-" + gone + "-6-123", false, 0, false},
        {"m.prom.tmp-" + gone + "-7-123", false, 0, false},
    };
    for (const auto& c : cases) {
        if (c.link) {
            ASSERT_EQ(symlink("m.prom", (m_folder / c.name).c_str()), 0);
        } else {
            m_folder.Write(c.name, "half");
        }
        const timespec times[2] = {{time(nullptr) - c.ageSeconds, 0},
                                   {time(nullptr) - c.ageSeconds, 0}};
        utimensat(m_fd, c.name.c_str(), times, AT_SYMLINK_NOFOLLOW);
    }
    EXPECT_TRUE(RemoveStaleTemporaries(m_fd, "m.prom").HasValue());
    for (const auto& c : cases) {
        struct stat info {};
        EXPECT_EQ(fstatat(m_fd, c.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0, c.removed)
            << c.name;
    }
}

TEST(AtomicFile, BadFolderDescriptorFails) {
    const Result<void> written = WriteFileAtomically(-1, "x.ini", "x");
    EXPECT_FALSE(written);
    EXPECT_NE(written.Problem().find("temporary"), std::string::npos);
}

} // namespace
