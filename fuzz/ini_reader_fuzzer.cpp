// The INI reader and the key-path store over arbitrary file contents, all in
// memory: the parse, a line-by-line reference reader and CIniStore's reads by
// key path must agree, and the store must keep its limits and its cache
// promise. Reading the bytes from a file is the unit tests' concern.
#include "config/decimal.h"
#include "config/format_bounded.h"
#include "config/ini_file.h"
#include "config/ini_store.h"
#include "config/text_encoding.h"
#include "fuzz/fuzz_check.h"
#include "platform/utf8.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::size_t kMaxDerivedKeyPaths = 64;

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

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// A section line or a key line of the text, by the reader's rules applied
// the slow, obvious way: names and values trimmed, a value unquoted.
struct ReferenceLine {
    bool section;
    std::string_view name;
    std::string_view value;
};

std::vector<ReferenceLine> ReferenceLines(std::string_view text) {
    std::vector<ReferenceLine> lines;
    std::string_view rest(text);
    if (rest.substr(0, 3) == "\xEF\xBB\xBF") {
        rest.remove_prefix(3);
    }
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        line = Trim(line.substr(0, line.find('\0')));
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            lines.push_back({true,
                             Trim(line.substr(1, close == std::string_view::npos ? line.size() - 1
                                                                                 : close - 1)),
                             {}});
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals != std::string_view::npos) {
            std::string_view value = Trim(line.substr(equals + 1));
            if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                value.back() == value.front()) {
                value = value.substr(1, value.size() - 2);
            }
            lines.push_back({false, Trim(line.substr(0, equals)), value});
        }
    }
    return lines;
}

// The first section of the name decides, and in it the first key of the
// name; looked for line by line on every lookup.
std::optional<std::string> ReferenceFind(const std::vector<ReferenceLine>& lines,
                                         std::string_view section, std::string_view key) {
    bool seenSection = false;
    bool inSection = false;
    for (const ReferenceLine& line : lines) {
        if (line.section) {
            if (inSection) {
                return std::nullopt; // the first section of the name lacked the key
            }
            inSection = !seenSection && SameName(line.name, section);
            seenSection = seenSection || inSection;
        } else if (inSection && SameName(line.name, key)) {
            return std::string(line.value);
        }
    }
    return std::nullopt;
}

// A key path with its names as the store divides it, and the parse's value
// for them (null: missing); each worked out once per input.
struct KeyPathCase {
    std::string path;
    std::string section;
    std::string key;
    const std::string* found;
};

std::string Expected(const KeyPathCase& c, const char* fallback) {
    std::string text = c.found != nullptr ? *c.found : fallback;
    text.resize(Utf8PrefixLength(text.data(), text.size(), CIniStore::kMaxValue));
    return text;
}

void CheckNames(const KeyPathCase& c) {
    FUZZ_CHECK(c.section.size() <= CIniStore::kMaxSection);
    FUZZ_CHECK(c.key.size() <= CIniStore::kMaxKey);
    FUZZ_CHECK(c.path.compare(0, c.section.size(), c.section) == 0);
    FUZZ_CHECK(c.section.find("::") == std::string::npos);
    const std::size_t divider = c.path.find("::");
    const std::string rest = divider == std::string::npos ? c.path : c.path.substr(divider + 2);
    FUZZ_CHECK(rest.compare(0, c.key.size(), c.key) == 0);
}

struct Read {
    const char* text;
    std::string copy;
};

void CheckStore(CIniStore& store, const CIniFile& reference,
                const std::vector<KeyPathCase>& cases) {
    std::vector<Read> reads;
    for (const KeyPathCase& c : cases) {
        const char* text = store.GetString(c.path.c_str(), "\x01"
                                                           "default");
        FUZZ_CHECK(text != nullptr);
        FUZZ_CHECK(Expected(c, "\x01"
                               "default") == text);
        FUZZ_CHECK(IsValidUtf8(text));
        // Later reads of the same key path answer from the cache, whatever
        // default they pass, and GetInt converts that same text.
        FUZZ_CHECK(store.GetString(c.path.c_str(), "other") == text);
        FUZZ_CHECK(store.GetInt(c.path.c_str(), 7) == ParseDecimalInt(text));
        reads.push_back(Read{text, text});
    }
    // Texts handed out earlier neither move nor change while others are read.
    for (const Read& read : reads) {
        FUZZ_CHECK(read.copy == read.text);
    }
    // A key path first read by GetInt holds its default as decimal text.
    const std::string unseen = "\x02::\x02";
    if (reference.Find("\x02", "\x02") == nullptr &&
        std::none_of(cases.begin(), cases.end(),
                     [&unseen](const KeyPathCase& c) { return c.path == unseen; })) {
        FUZZ_CHECK(store.GetInt(unseen.c_str(), -123) == -123);
        FUZZ_CHECK(std::strcmp(store.GetString(unseen.c_str(), ""), "-123") == 0);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    CIniFile parsed;
    parsed.Parse(bytes);
    FUZZ_CHECK(parsed.IsLoaded());

    std::vector<std::string> keyPaths = FixedKeyPaths();
    for (std::string& keyPath : DerivedKeyPaths(bytes)) {
        keyPaths.push_back(std::move(keyPath));
    }
    const std::string decoded = ToUtf8(bytes);
    const std::vector<ReferenceLine> lines = ReferenceLines(decoded);
    std::vector<KeyPathCase> cases;
    for (std::string& keyPath : keyPaths) {
        KeyPathCase c{std::move(keyPath), {}, {}, nullptr};
        c.section = CIniStore::GetSectionName(c.path.c_str());
        c.key = CIniStore::GetKeyName(c.path.c_str());
        CheckNames(c);
        c.found = parsed.Find(c.section, c.key);
        const std::optional<std::string> reference = ReferenceFind(lines, c.section, c.key);
        FUZZ_CHECK(reference.has_value() == (c.found != nullptr));
        FUZZ_CHECK(!reference || *reference == *c.found);
        cases.push_back(std::move(c));
    }

    // A second opening of one store must forget the first one's cache.
    CIniStore store;
    store.OpenText("");
    FUZZ_CHECK(std::strcmp(store.GetString(cases.front().path.c_str(), "m"), "m") == 0);
    store.OpenText(bytes);
    CheckStore(store, parsed, cases);
    return 0;
}
