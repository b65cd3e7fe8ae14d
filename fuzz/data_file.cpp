#include "fuzz/data_file.h"

#include "config/ini_file.h"
#include "fuzz/fuzz_check.h"

std::string ReadDataFile(const std::string& name) {
    auto bytes =
        ReadRegularFile(std::string(TOLVENAR_DATA_DIR) + "/" + name, CIniFile::kMaxFileSize);
    FUZZ_CHECK(bytes && !bytes.Value().empty());
    return std::move(bytes).Value();
}
