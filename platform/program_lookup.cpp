#include "platform/program_lookup.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsAbsolute(const std::string& path) {
    return !path.empty() && path[0] == '/';
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.back() == '/') {
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

std::vector<std::string> AbsoluteSearchFolders(const char* searchPath) {
    std::vector<std::string> folders;
    if (searchPath == nullptr) {
        return folders;
    }
    const std::string path(searchPath);
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(':', start);
        if (end == std::string::npos) {
            end = path.size();
        }
        std::string folder = path.substr(start, end - start);
        if (IsAbsolute(folder)) {
            folders.push_back(std::move(folder));
        }
        start = end + 1;
    }
    return folders;
}

std::string FindProgramIn(const std::string& name, const std::vector<std::string>& folders) {
    if (name.empty() || name.find('/') != std::string::npos) {
        return std::string();
    }
    for (const std::string& folder : folders) {
        if (!IsAbsolute(folder)) {
            continue;
        }
        std::string candidate = JoinPath(folder, name);
        if (IsExecutableFile(candidate)) {
            return candidate;
        }
    }
    return std::string();
}

std::string FindProgram(const std::string& name, const std::string& programFolder,
                        const char* searchPath) {
    std::vector<std::string> folders = AbsoluteSearchFolders(searchPath);
    folders.insert(folders.begin(), programFolder);
    return FindProgramIn(name, folders);
}
