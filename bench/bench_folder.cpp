#include "bench/bench_folder.h"

#include "bench/report_texts.h"
#include "config/program_folder.h"
#include "report/report_files.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

CBenchFolder::CBenchFolder(const std::vector<int>& driveNumbers) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/tolvenar-bench-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    m_strPath = pattern;
    Write(kAttributeTableFile, FullAttributeTableText());
    for (int n : driveNumbers) {
        Write(ReportFileName(n), FullReportText(n));
    }
    SetProgramFolderForTesting(m_strPath);
}

CBenchFolder::~CBenchFolder() {
    SetProgramFolderForTesting("");
    std::error_code ignored;
    std::filesystem::remove_all(m_strPath, ignored);
}

std::string CBenchFolder::ReportPath(int driveNumber) const {
    return m_strPath + "/" + ReportFileName(driveNumber);
}

void CBenchFolder::Write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(m_strPath + "/" + name, std::ios::binary);
    out << bytes;
    if (!out) {
        throw std::runtime_error("cannot write " + name);
    }
}

std::vector<int> SpreadDriveNumbers(int count) {
    const int step = (kLastDriveNumber - kFirstDriveNumber + 1) / count;
    std::vector<int> numbers;
    for (int i = 0; i < count; ++i) {
        numbers.push_back(kFirstDriveNumber + i * step);
    }
    return numbers;
}
