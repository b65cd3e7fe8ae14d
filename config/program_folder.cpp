#include "config/program_folder.h"

#include "platform/executable_path.h"

#ifndef TOLVENAR_REPORT_FOLDER
#define TOLVENAR_REPORT_FOLDER ""
#endif

namespace {

std::string& TestFolder() {
    static std::string folder;
    return folder;
}

std::string ResolveIn(std::string folder, const std::string& name) {
    if (!name.empty() && name[0] == '/') {
        return name;
    }
    if (folder.empty()) {
        return std::string();
    }
    if (folder.back() != '/') {
        folder += '/';
    }
    return folder + name;
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
    return ResolveIn(ProgramFolder(), name);
}

std::string ReportFolder() {
    const std::string fixed = TOLVENAR_REPORT_FOLDER;
    return fixed.empty() || !TestFolder().empty() ? ProgramFolder() : fixed;
}

std::string ResolveInReportFolder(const std::string& name) {
    return ResolveIn(ReportFolder(), name);
}

void SetProgramFolderForTesting(const std::string& folder) {
    TestFolder() = folder;
}
