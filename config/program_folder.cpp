#include "config/program_folder.h"

#include "platform/executable_path.h"

namespace {

std::string& TestFolder() {
    static std::string folder;
    return folder;
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
