#pragma once

#include "platform/result.h"

#include <string>

// The folder that receives the report files smart_PhysicalDrive<N>.ini,
// held open for the length of a run so that every file operation happens in
// the same folder even if its path is changed meanwhile.
class CReportFolder {
public:
    explicit CReportFolder(const std::string& path);
    ~CReportFolder();
    CReportFolder(const CReportFolder&) = delete;
    CReportFolder& operator=(const CReportFolder&) = delete;

    // False when the folder could not be opened; Problem() says why.
    bool IsOpen() const { return m_nFd >= 0; }
    const std::string& Problem() const { return m_strProblem; }
    const std::string& Path() const { return m_strPath; }

    // Writes one report atomically (WriteFileAtomically).
    [[nodiscard]] Result<void> WriteReport(int driveNumber, const std::string& text);

    // Removes the reports of drive numbers firstDriveNumber to kLastDriveNumber;
    // links are removed themselves, never followed. A Failure (one line for
    // all that could not be removed) unless every report that existed is gone.
    [[nodiscard]] Result<void> RemoveReportsFrom(int firstDriveNumber);

    // Removes the temporary report files that a killed run left behind (call
    // with the folder locked). A Failure (one line for all that stayed).
    [[nodiscard]] Result<void> RemoveLeftoverTemporaries();

    // The open folder, for locking it.
    int Fd() const { return m_nFd; }

private:
    std::string m_strPath;
    std::string m_strProblem;
    int m_nFd = -1;
};
