#include "config/program_folder.h"

#include <cstdlib>

namespace {

std::string& TestFolder() {
    static std::string folder;
    return folder;
}

std::string ExecutableFolder() {
    // Without /proc the folder is unknown; then nothing is found rather than
    // files being read from wherever the current directory happens to be.
    char* resolved = realpath("/proc/self/exe", nullptr);
    if (resolved == nullptr) {
        return std::string();
    }
    std::string path(resolved);
    std::free(resolved);
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return std::string();
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

} // namespace

std::string ProgramFolder() {
    if (!TestFolder().empty()) {
        return TestFolder();
    }
    static const std::string folder = ExecutableFolder();
    return folder;
}

std::string ResolveInProgramFolder(const std::string& name) {
    if (!name.empty() && name[0] == '/') {
        return name;
    }
    std::string folder = ProgramFolder();
    if (folder.empty()) {
        return std::string();
    }
    if (folder.back() != '/') {
        folder += '/';
    }
    return folder + name;
}

void SetProgramFolderForTesting(const std::string& folder) {
    TestFolder() = folder;
}
