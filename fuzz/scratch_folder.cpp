#include "fuzz/scratch_folder.h"

#include "fuzz/fuzz_check.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

CScratchFolder::CScratchFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/tolvenar-fuzz-XXXXXX";
    FUZZ_CHECK(mkdtemp(pattern.data()) != nullptr);
    m_strPath = pattern;
}

CScratchFolder::~CScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_strPath, ignored);
}

std::string CScratchFolder::Write(const std::string& name, const std::string& bytes) const {
    const std::string path = m_strPath + "/" + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    FUZZ_CHECK(out.good());
    return path;
}

void CScratchFolder::CopyData(const std::string& name) const {
    std::ifstream in(std::string(TOLVENAR_DATA_DIR) + "/" + name, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    FUZZ_CHECK(in.is_open() && !contents.str().empty());
    Write(name, contents.str());
}
