// The INI reader and the key-path store over arbitrary file contents: parsed
// in memory, loaded from a file and read through CIniStore by key paths, all
// three must agree, and the store must keep its limits and its cache promise.
#include "config/decimal.h"
#include "config/format_bounded.h"
#include "config/ini_file.h"
#include "config/ini_store.h"
#include "config/program_folder.h"
#include "config/text_encoding.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/scratch_folder.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr char kFileName[] = "fuzz.ini";
constexpr std::size_t kMaxDerivedKeyPaths = 64;

const CScratchFolder& Folder() {
    static const CScratchFolder folder;
    return folder;
}

// Key paths a report or table read uses, plus the odd shapes a key path may take.
std::vector<std::string> FixedKeyPaths() {
    return {"HDDINFO::MODEL",
            "HDDINFO::SIZE_GB",
            "SMARTS::ATTR_194",
            "ATTR_TABLE::NAME_9",
            "MODEL",
            "A::B::C",
            "::",
            "",
            "S::",
            "::K",
            std::string(300, 'S') + "::" + "K",
            "S::" + std::string(200, 'K')};
}

// Section and key names taken from the input's own lines, so that lookups hit
// what the file holds instead of always missing.
std::vector<std::string> DerivedKeyPaths(std::string_view bytes) {
    std::vector<std::string> keyPaths;
    std::string section;
    while (!bytes.empty() && keyPaths.size() < kMaxDerivedKeyPaths) {
        const std::size_t end = bytes.find('\n');
        std::string line(bytes.substr(0, end));
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        line = line.substr(0, line.find('\0')); // a key path is a C string
        if (!line.empty() && line.front() == '[') {
            section = line.substr(1, line.find(']') - 1);
        } else if (const std::size_t equals = line.find('='); equals != std::string::npos) {
            keyPaths.push_back(section + "::" + line.substr(0, equals));
        }
        keyPaths.push_back(line);
    }
    return keyPaths;
}

std::string Expected(const CIniFile& file, const std::string& keyPath, const char* fallback) {
    const std::string* value = file.Find(CIniStore::GetSectionName(keyPath.c_str()),
                                         CIniStore::GetKeyName(keyPath.c_str()));
    std::string text = value != nullptr ? *value : fallback;
    text.resize(Utf8PrefixLength(text.data(), text.size(), CIniStore::kMaxValue));
    return text;
}

void CheckNames(const std::string& keyPath) {
    const std::string section = CIniStore::GetSectionName(keyPath.c_str());
    const std::string key = CIniStore::GetKeyName(keyPath.c_str());
    FUZZ_CHECK(section.size() <= CIniStore::kMaxSection);
    FUZZ_CHECK(key.size() <= CIniStore::kMaxKey);
    FUZZ_CHECK(keyPath.compare(0, section.size(), section) == 0);
    FUZZ_CHECK(section.find("::") == std::string::npos);
    const std::size_t divider = keyPath.find("::");
    const std::string rest = divider == std::string::npos ? keyPath : keyPath.substr(divider + 2);
    FUZZ_CHECK(rest.compare(0, key.size(), key) == 0);
}

struct Read {
    const char* text;
    std::string copy;
};

void CheckStore(CIniStore& store, const CIniFile& reference,
                const std::vector<std::string>& keyPaths) {
    std::vector<Read> reads;
    for (const std::string& keyPath : keyPaths) {
        CheckNames(keyPath);
        const char* text = store.GetString(keyPath.c_str(), "\x01"
                                                            "default");
        FUZZ_CHECK(text != nullptr);
        const std::string expected = Expected(reference, keyPath,
                                              "\x01"
                                              "default");
        FUZZ_CHECK(expected == text);
        FUZZ_CHECK(IsValidUtf8(text));
        // Later reads of the same key path answer from the cache, whatever
        // default they pass, and GetInt converts that same text.
        FUZZ_CHECK(store.GetString(keyPath.c_str(), "other") == text);
        FUZZ_CHECK(store.GetInt(keyPath.c_str(), 7) == ParseDecimalInt(text));
        reads.push_back(Read{text, text});
    }
    // Texts handed out earlier neither move nor change while others are read.
    for (const Read& read : reads) {
        FUZZ_CHECK(read.copy == read.text);
    }
    // A key path first read by GetInt holds its default as decimal text.
    const std::string unseen = "\x02::\x02";
    if (reference.Find("\x02", "\x02") == nullptr &&
        std::find(keyPaths.begin(), keyPaths.end(), unseen) == keyPaths.end()) {
        FUZZ_CHECK(store.GetInt(unseen.c_str(), -123) == -123);
        FUZZ_CHECK(std::strcmp(store.GetString(unseen.c_str(), ""), "-123") == 0);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    SetProgramFolderForTesting(Folder().Path());

    CIniFile parsed;
    parsed.Parse(bytes);
    FUZZ_CHECK(parsed.IsLoaded());

    const std::string path = Folder().Write(kFileName, bytes);
    CIniFile loaded;
    FUZZ_CHECK(loaded.Load(path));

    std::vector<std::string> keyPaths = FixedKeyPaths();
    for (std::string& keyPath : DerivedKeyPaths(bytes)) {
        keyPaths.push_back(std::move(keyPath));
    }
    for (const std::string& keyPath : keyPaths) {
        const std::string section = CIniStore::GetSectionName(keyPath.c_str());
        const std::string key = CIniStore::GetKeyName(keyPath.c_str());
        const std::string* fromMemory = parsed.Find(section, key);
        const std::string* fromFile = loaded.Find(section, key);
        FUZZ_CHECK((fromMemory == nullptr) == (fromFile == nullptr));
        FUZZ_CHECK(fromMemory == nullptr || *fromMemory == *fromFile);
    }

    // The same file by its full path and by its name in the program folder;
    // the second opening of one store must forget the first one's cache.
    CIniStore byPath;
    byPath.Open(path.c_str());
    CheckStore(byPath, parsed, keyPaths);
    CIniStore byName;
    byName.Open("missing.ini");
    FUZZ_CHECK(std::strcmp(byName.GetString(keyPaths.front().c_str(), "m"), "m") == 0);
    byName.Open(kFileName);
    CheckStore(byName, parsed, keyPaths);

    SetProgramFolderForTesting("");
    return 0;
}
