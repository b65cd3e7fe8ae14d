#include "bench/per_key_reader.h"

#include "config/ini_file.h"
#include "config/ini_store.h"

std::string ReadKeyPerCall(const std::string& path, const char* keyPath, const char* defaultText) {
    CIniFile file;
    (void)file.Load(path); // a missing file answers the default
    const std::string* value =
        file.Find(CIniStore::GetSectionName(keyPath), CIniStore::GetKeyName(keyPath));
    return value != nullptr ? *value : std::string(defaultText);
}
