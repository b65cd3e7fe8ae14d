#include "collector/report_folder.h"

#include "platform/atomic_file.h"
#include "report/report_files.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

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

bool CReportFolder::WriteReport(int driveNumber, const std::string& text, std::string& problem) {
    if (!IsOpen()) {
        problem = m_strProblem;
        return false;
    }
    return WriteFileAtomically(m_nFd, ReportFileName(driveNumber), text, problem);
}

std::vector<std::string> CReportFolder::RemoveReportsFrom(int firstDriveNumber) {
    std::vector<std::string> problems;
    if (!IsOpen()) {
        return problems;
    }
    for (int number = std::max(firstDriveNumber, 0); number <= kLastDriveNumber; ++number) {
        const std::string name = ReportFileName(number);
        if (unlinkat(m_nFd, name.c_str(), 0) != 0 && errno != ENOENT) {
            problems.push_back(name + ": " + std::strerror(errno));
        }
    }
    return problems;
}
