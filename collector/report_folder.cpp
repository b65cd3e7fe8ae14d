#include "collector/report_folder.h"

#include "platform/atomic_file.h"
#include "report/report_files.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

CReportFolder::CReportFolder(const std::string& path) : m_strPath(path) {
    m_nFd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_nFd < 0) {
        m_strProblem = std::strerror(errno);
    }
}

CReportFolder::~CReportFolder() {
    if (m_nFd >= 0) {
        close(m_nFd);
    }
}

Result<void> CReportFolder::WriteReport(int driveNumber, const std::string& text) {
    if (!IsOpen()) {
        return Failure{m_strProblem};
    }
    return WriteFileAtomically(m_nFd, ReportFileName(driveNumber), text);
}

namespace {

bool Exists(int folderFd, const std::string& name) {
    struct stat info {};
    return fstatat(folderFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

// One line for every file that could not be removed: how many, the first.
Result<void> RemovalResult(const char* what, const std::vector<std::string>& failures) {
    if (failures.empty()) {
        return {};
    }
    return Failure{"removing " + std::to_string(failures.size()) + " " + what + " failed, first " +
                   failures.front()};
}

bool IsLeftoverTemporary(const std::string& name) {
    const std::string prefix = std::string(".") + kReportFilePrefix;
    return name.rfind(prefix, 0) == 0 &&
           name.find(std::string(".ini") + kTemporaryInfix) != std::string::npos;
}

} // namespace

Result<void> CReportFolder::RemoveReportsFrom(int firstDriveNumber) {
    std::vector<std::string> failures;
    if (!IsOpen()) {
        return {};
    }
    for (int number = std::max(firstDriveNumber, 0); number <= kLastDriveNumber; ++number) {
        const std::string name = ReportFileName(number);
        // Only files that are there count: on a read-only file system even a
        // missing name cannot be unlinked.
        if (Exists(m_nFd, name) && unlinkat(m_nFd, name.c_str(), 0) != 0 && errno != ENOENT) {
            failures.push_back(name + ": " + std::strerror(errno));
        }
    }
    return RemovalResult("old reports", failures);
}

Result<void> CReportFolder::RemoveLeftoverTemporaries() {
    std::vector<std::string> failures;
    const int listFd = IsOpen() ? openat(m_nFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
    DIR* dir = listFd >= 0 ? fdopendir(listFd) : nullptr;
    if (dir == nullptr) {
        if (listFd >= 0) {
            close(listFd);
        }
        return {};
    }
    std::vector<std::string> leftovers;
    while (const dirent* entry = readdir(dir)) {
        if (IsLeftoverTemporary(entry->d_name)) {
            leftovers.emplace_back(entry->d_name);
        }
    }
    closedir(dir);
    for (const std::string& name : leftovers) {
        if (unlinkat(m_nFd, name.c_str(), 0) != 0 && errno != ENOENT) {
            failures.push_back(name + ": " + std::strerror(errno));
        }
    }
    return RemovalResult("temporary files of an earlier run", failures);
}
