#include "collector_test_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>

CScratchFolder::CScratchFolder() {
    std::string pattern = std::string(COLLECTOR_TEST_SCRATCH_DIR) + "/scratch-XXXXXX";
    std::filesystem::create_directories(COLLECTOR_TEST_SCRATCH_DIR);
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed for " + pattern);
    }
    m_strPath = pattern;
}

CScratchFolder::~CScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_strPath, ignored);
}

std::string CaptureFolder() {
    return std::string(COLLECTOR_TEST_DATA_DIR) + "/smartctl";
}

std::string CapturePath(const std::string& relative) {
    return CaptureFolder() + "/" + relative;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteText(const std::string& path, const std::string& text, bool executable) {
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << text;
    }
    if (executable) {
        chmod(path.c_str(), 0755);
    }
}

bool Exists(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

std::map<std::string, std::string> ParseReportText(const std::string& text) {
    std::map<std::string, std::string> values;
    std::istringstream lines(text);
    std::string line;
    std::string section;
    while (std::getline(lines, line)) {
        if (line.empty()) {
            continue;
        }
        if (line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
            continue;
        }
        const auto equals = line.find('=');
        const std::string key = section + "::" + line.substr(0, equals);
        const std::string value = equals == std::string::npos ? "" : line.substr(equals + 1);
        if (!values.emplace(key, value).second) {
            values["DUPLICATE"] += key + " ";
        }
    }
    return values;
}
