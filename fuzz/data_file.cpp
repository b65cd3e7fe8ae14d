#include "fuzz/data_file.h"

#include "config/ini_file.h"
#include "fuzz/fuzz_check.h"

std::string ReadDataFile(const std::string& name) {
    std::string bytes;
    FUZZ_CHECK(ReadRegularFile(std::string(TOLVENAR_DATA_DIR) + "/" + name, CIniFile::kMaxFileSize,
                               bytes));
    FUZZ_CHECK(!bytes.empty());
    return bytes;
}
