#include "ui/program_lookup.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == '/') {
        return folder + name;
    }
    return folder + "/" + name;
}

} // namespace

bool IsExecutableFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

std::string FindProgram(const std::string& name, const std::string& programFolder,
                        const char* searchPath) {
    if (name.empty() || name.find('/') != std::string::npos) {
        return std::string();
    }
    if (!programFolder.empty() && programFolder[0] == '/') {
        const std::string candidate = JoinPath(programFolder, name);
        if (IsExecutableFile(candidate)) {
            return candidate;
        }
    }
    if (searchPath == nullptr) {
        return std::string();
    }
    const std::string path(searchPath);
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(':', start);
        if (end == std::string::npos) {
            end = path.size();
        }
        const std::string folder = path.substr(start, end - start);
        if (!folder.empty() && folder[0] == '/') {
            const std::string candidate = JoinPath(folder, name);
            if (IsExecutableFile(candidate)) {
                return candidate;
            }
        }
        start = end + 1;
    }
    return std::string();
}
