#pragma once

#include <string>

// A fresh folder under parent (created when missing), removed with
// everything in it on destruction.
class TempFolder {
public:
    explicit TempFolder(const std::string& parent = "/tmp");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }
    // Writes bytes to name inside the folder and returns the full path.
    std::string Write(const std::string& name, const std::string& bytes) const;

private:
    std::string m_path;
};
