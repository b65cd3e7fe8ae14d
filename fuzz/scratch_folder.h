#pragma once

#include <string>

// A private folder under $TMPDIR (or /tmp) for the files a fuzz target reads
// through the program's own file code; removed with its contents when the
// object goes. Fuzz targets keep one for the whole process.
class CScratchFolder {
public:
    CScratchFolder();
    ~CScratchFolder();
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;

    const std::string& Path() const { return m_strPath; }

    // Replaces the file name in the folder by bytes and returns its full path.
    std::string Write(const std::string& name, const std::string& bytes) const;
    // Copies a file of the source tree's data folder into the folder.
    void CopyData(const std::string& name) const;

private:
    std::string m_strPath;
};
