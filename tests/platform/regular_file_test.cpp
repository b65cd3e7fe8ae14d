#include "platform/regular_file.h"
#include "support/temp_folder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t kLimit = 100;

TEST(ReadRegularFile, ReadsOnlyRegularFilesWithinTheLimit) {
    TempFolder folder;
    folder.Write("limit", std::string(kLimit, 'x'));
    folder.Write("over", std::string(kLimit + 1, 'x'));
    folder.Write("small", "[S]\nK=v\n");
    folder.Write("empty", "");
    ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);
    ASSERT_EQ(mkdir((folder / "folder").c_str(), 0700), 0);
    ASSERT_EQ(symlink("small", (folder / "link").c_str()), 0);

    struct Case {
        const char* name;
        std::string file;
        const char* text;    // nullptr: refused
        const char* problem; // the refusal's reason
    };
    const std::string atLimit(kLimit, 'x');
    const Case cases[] = {
        {"small", "small", "[S]\nK=v\n", ""},
        {"empty", "empty", "", ""},
        {"exactly the limit", "limit", atLimit.c_str(), ""},
        {"one byte over", "over", nullptr, "larger than 100 bytes"},
        {"FIFO without a writer", "fifo", nullptr, "not a regular file"},
        {"folder", "folder", nullptr, "not a regular file"},
        {"missing", "none", nullptr, "No such file or directory"},
        {"below a file", "small/x", nullptr, "Not a directory"},
        {"empty name", "", nullptr, "No such file or directory"},
    };
    const int folderFd = open(folder.Path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(folderFd, 0);
    for (const Case& c : cases) {
        const std::string path = c.file[0] == '\0' ? "" : folder / c.file;
        const Result<std::string> byPath = ReadRegularFile(path, kLimit);
        const Result<std::string> inFolder = ReadRegularFileAt(folderFd, c.file, kLimit);
        for (const Result<std::string>* read : {&byPath, &inFolder}) {
            ASSERT_EQ(read->HasValue(), c.text != nullptr) << c.name << ": " << read->Problem();
            EXPECT_EQ(read->Problem(), c.problem) << c.name;
            if (c.text == nullptr) {
                // Only an absent file is Missing: callers treat it as "not yet written".
                const bool absent = std::string(c.problem) == "No such file or directory";
                EXPECT_EQ(read->Kind() == FailureKind::Missing, absent) << c.name;
            } else {
                EXPECT_EQ(read->Value(), c.text) << c.name;
            }
        }
    }

    // A link is followed by path, refused in a folder; a missing state reads empty.
    EXPECT_EQ(ReadRegularFile(folder / "link", kLimit).Problem(), "");
    EXPECT_EQ(ReadRegularFileAt(folderFd, "link", kLimit).Problem(), "not a regular file");
    const Result<std::string> missing =
        ReadRegularFileAt(folderFd, "none", kLimit, MissingFile::ReadsEmpty);
    ASSERT_TRUE(missing);
    EXPECT_EQ(*missing, "");
    EXPECT_FALSE(ReadRegularFileAt(folderFd, "fifo", kLimit, MissingFile::ReadsEmpty));
    close(folderFd);
}

} // namespace
