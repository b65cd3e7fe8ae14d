#include "fuzz/data_file.h"

#include "config/ini_file.h"
#include "fuzz/fuzz_check.h"
#include "platform/regular_file.h"

std::string ReadDataFile(const std::string& name) {
    Result<std::string> bytes =
        ReadRegularFile(std::string(TOLVENAR_DATA_DIR) + "/" + name, CIniFile::kMaxFileSize);
    FUZZ_CHECK(bytes && !bytes->empty());
    return std::move(bytes).Value();
}
