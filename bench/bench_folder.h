#pragma once

#include <string>
#include <vector>

// A temporary program folder for the benchmarks: attr_table.ini with all 255
// attributes and full reports at the drive numbers given. The program folder
// points at it while the object lives.
class CBenchFolder {
public:
    explicit CBenchFolder(const std::vector<int>& driveNumbers);
    ~CBenchFolder();
    CBenchFolder(const CBenchFolder&) = delete;
    CBenchFolder& operator=(const CBenchFolder&) = delete;

    const std::string& Path() const { return m_strPath; }
    std::string ReportPath(int driveNumber) const;

private:
    void Write(const std::string& name, const std::string& bytes) const;

    std::string m_strPath;
};

// Drive numbers 0, 16, 32, ...: count reports spread over the scanned range.
std::vector<int> SpreadDriveNumbers(int count);
