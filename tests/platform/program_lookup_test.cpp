#include "platform/program_lookup.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct LookupCase {
    const char* name;
    // Files to create, comma-separated: "dir" an executable dir/quelmaro,
    // "dir-x" one that may not be executed, "dir/" a folder of that name.
    const char* layout;
    const char* path;  // PATH, @ for the test folder; nullptr: unset
    const char* found; // relative to the test folder; "" nothing
};

const LookupCase kCases[] = {
    {"program folder first", "prog,path1", "@/path1", "prog/quelmaro"},
    {"then PATH in order", "path0,path1", "@/path0:@/path1", "path0/quelmaro"},
    {"not executable", "prog-x,path1", "@/path1", "path1/quelmaro"},
    {"a folder", "prog/,path1", "@/path1", "path1/quelmaro"},
    {"empty entries", "path1", "::@/path1:", "path1/quelmaro"},
    // Empty, "." and relative entries would name the current directory.
    {"never the current directory", "cwd,cwd/sub", ":.:sub:./sub", ""},
    {"no PATH", "", nullptr, ""},
};

std::string Replace(std::string text, char from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, 1, to);
    }
    return text;
}

TEST(FindProgram, FolderThenAbsolutePathEntries) {
    for (const LookupCase& c : kCases) {
        TempFolder root;
        for (const char* sub : {"prog", "path0", "path1", "cwd", "cwd/sub"}) {
            ASSERT_EQ(mkdir((root / sub).c_str(), 0755), 0);
        }
        std::string layout = c.layout;
        for (std::size_t start = 0; start < layout.size();) {
            std::size_t end = layout.find(',', start);
            end = end == std::string::npos ? layout.size() : end;
            std::string part = layout.substr(start, end - start);
            start = end + 1;
            if (part.back() == '/') {
                ASSERT_EQ(mkdir((root / part + "quelmaro").c_str(), 0755), 0);
                continue;
            }
            const bool executable = part.size() < 2 || part.substr(part.size() - 2) != "-x";
            if (!executable) {
                part.resize(part.size() - 2);
            }
            const std::string file = root.Write(part + "/quelmaro", "#!/bin/sh\nexit 0\n");
            ASSERT_EQ(chmod(file.c_str(), executable ? 0755 : 0644), 0);
        }
        char* previous = getcwd(nullptr, 0);
        ASSERT_EQ(chdir((root / "cwd").c_str()), 0);
        const std::string path = c.path == nullptr ? "" : Replace(c.path, '@', root.Path());
        const std::string result =
            FindProgram("quelmaro", root / "prog", c.path == nullptr ? nullptr : path.c_str());
        ASSERT_EQ(chdir(previous), 0);
        std::free(previous);
        EXPECT_EQ(result, *c.found == '\0' ? std::string() : root / c.found) << c.name;
    }
}

TEST(FindProgramIn, NamesWithASlashAndRelativeFoldersFindNothing) {
    EXPECT_EQ(FindProgramIn("bin/sh", {"/"}), "");
    EXPECT_EQ(FindProgramIn("", {"/bin"}), "");
    EXPECT_EQ(FindProgramIn("sh", {"bin", "."}), "");
    EXPECT_EQ(FindProgramIn("sh", {"/nonexistent", "/bin"}), "/bin/sh");
}

} // namespace
