#pragma once

#include <map>
#include <string>
#include <vector>

// A fresh folder for one test, removed with everything in it afterwards.
class CScratchFolder {
public:
    CScratchFolder();
    ~CScratchFolder();
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;

    const std::string& Path() const { return m_strPath; }
    std::string operator/(const std::string& name) const { return m_strPath + "/" + name; }

private:
    std::string m_strPath;
};

// The folder of the real smartctl captures (tests/data/smartctl).
std::string CaptureFolder();
std::string CapturePath(const std::string& relative);

std::string ReadText(const std::string& path);
void WriteText(const std::string& path, const std::string& text, bool executable = false);
bool Exists(const std::string& path);

// The values of a report's text by "SECTION::KEY", read the plain way (the
// viewer's reader is tested with the core); repeated keys are an error the
// test reports, so they are collected under "DUPLICATE".
std::map<std::string, std::string> ParseReportText(const std::string& text);
