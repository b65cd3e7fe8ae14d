#include "collector/program_location.h"

#include <algorithm>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

bool IsExecutableFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

} // namespace

std::string LocateProgram(const std::string& name) {
    if (name.empty()) {
        return {};
    }
    if (name.find('/') != std::string::npos) {
        return name;
    }
    std::vector<std::string> folders = {"/usr/sbin", "/usr/local/sbin", "/sbin",
                                        "/usr/bin",  "/usr/local/bin",  "/bin"};
    if (const char* path = std::getenv("PATH")) {
        std::string list = path;
        std::size_t start = 0;
        while (start <= list.size()) {
            const std::size_t end = std::min(list.find(':', start), list.size());
            const std::string folder = list.substr(start, end - start);
            // Relative entries would search the current directory.
            if (!folder.empty() && folder[0] == '/') {
                folders.push_back(folder);
            }
            start = end + 1;
        }
    }
    for (const std::string& folder : folders) {
        const std::string candidate = folder + "/" + name;
        if (IsExecutableFile(candidate)) {
            return candidate;
        }
    }
    return {};
}
