#include "config/ini_store.h"

#include "config/decimal.h"
#include "config/format_bounded.h"
#include "config/ini_file.h"
#include "config/program_folder.h"
#include "platform/utf8.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <functional>

namespace {

constexpr std::size_t kFirstTableSize = 512; // a power of two
constexpr std::size_t kTextBlockSize = 16 * 1024;

std::string_view CutUtf8(std::string_view text, std::size_t limit) {
    return text.substr(0, Utf8PrefixLength(text.data(), text.size(), limit));
}

// The section and key names of a key path, as views into it. One pass by
// hand: this runs for every key path a report is asked for.
void SplitKeyPath(std::string_view keyPath, std::string_view& section, std::string_view& key) {
    std::size_t divider = 0;
    while (divider + 1 < keyPath.size() &&
           !(keyPath[divider] == ':' && keyPath[divider + 1] == ':')) {
        ++divider;
    }
    const bool divided = divider + 1 < keyPath.size();
    // The section is looked for in the key path's first kMaxSection bytes
    // only; the key after the first "::" anywhere.
    section = CutUtf8(keyPath, CIniStore::kMaxSection);
    if (divided && divider + 2 <= section.size()) {
        section = section.substr(0, divider);
    }
    key = CutUtf8(divided ? keyPath.substr(divider + 2) : keyPath, CIniStore::kMaxKey);
}

// ASCII lower case by table (as AsciiToLower), ready before any static
// constructor runs.
constexpr std::array<char, 256> kLower = [] {
    std::array<char, 256> lower{};
    for (std::size_t c = 0; c < lower.size(); ++c) {
        lower[c] = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return lower;
}();

// Writes "section\0key" in ASCII lower case to name, which holds
// kMaxIndexName bytes; gives its length.
constexpr std::size_t kMaxIndexName = CIniStore::kMaxSection + 1 + CIniStore::kMaxKey;
std::size_t IndexName(std::string_view section, std::string_view key, char* name) {
    std::size_t length = 0;
    for (const char c : section) {
        name[length++] = kLower[static_cast<unsigned char>(c)];
    }
    name[length++] = '\0';
    for (const char c : key) {
        name[length++] = kLower[static_cast<unsigned char>(c)];
    }
    return length;
}

std::size_t Hash(std::string_view name) {
    return std::hash<std::string_view>{}(name);
}

} // namespace

const char* CIniStore::Table::Find(std::size_t hash, std::string_view name) const {
    if (m_slots.empty()) {
        return nullptr;
    }
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = hash & mask; m_slots[i].text != nullptr; i = (i + 1) & mask) {
        if (m_slots[i].hash == hash && m_slots[i].name == name) {
            return m_slots[i].text;
        }
    }
    return nullptr;
}

void CIniStore::Table::Add(const Slot& slot) {
    if ((m_nUsed + 1) * 2 > m_slots.size()) {
        std::vector<Slot> old(m_slots.empty() ? kFirstTableSize : m_slots.size() * 2);
        old.swap(m_slots);
        m_nUsed = 0;
        for (const Slot& moved : old) {
            if (moved.text != nullptr) {
                Add(moved);
            }
        }
    }
    const std::size_t mask = m_slots.size() - 1;
    std::size_t i = slot.hash & mask;
    while (m_slots[i].text != nullptr) {
        i = (i + 1) & mask;
    }
    m_slots[i] = slot;
    ++m_nUsed;
}

void CIniStore::Table::Clear() {
    m_slots.clear();
    m_nUsed = 0;
}

CIniStore::CIniStore() = default;
CIniStore::~CIniStore() = default;

void CIniStore::Open(const char* name) {
    m_strPath = ResolveInProgramFolder(name);
    Clear();
    m_pFile.reset();
}

void CIniStore::OpenText(std::string_view bytes) {
    m_strPath.clear();
    Clear();
    m_pFile = std::make_unique<CIniFile>();
    if (bytes.size() <= CIniFile::kMaxFileSize) {
        m_pFile->Parse(bytes);
    }
}

std::string CIniStore::GetSectionName(const char* keyPath) {
    std::string_view section;
    std::string_view key;
    SplitKeyPath(keyPath, section, key);
    return std::string(section);
}

std::string CIniStore::GetKeyName(const char* keyPath) {
    std::string_view section;
    std::string_view key;
    SplitKeyPath(keyPath, section, key);
    return std::string(key);
}

void CIniStore::Clear() {
    m_cache.Clear();
    m_index.Clear();
    m_bIndexed = false;
    m_texts.clear();
    m_pTextNext = nullptr;
    m_nTextFree = 0;
}

const char* CIniStore::Keep(std::string_view text) {
    const std::size_t size = text.size() + 1;
    char* target = nullptr;
    if (size > kTextBlockSize / 4) {
        // A long text gets a block of its own; the current block stays open.
        m_texts.push_back(std::make_unique<char[]>(size));
        target = m_texts.back().get();
    } else {
        if (size > m_nTextFree) {
            m_texts.push_back(std::make_unique<char[]>(kTextBlockSize));
            m_pTextNext = m_texts.back().get();
            m_nTextFree = kTextBlockSize;
        }
        target = m_pTextNext;
        m_pTextNext += size;
        m_nTextFree -= size;
    }
    std::memcpy(target, text.data(), text.size());
    target[text.size()] = '\0';
    return target;
}

void CIniStore::BuildIndex() {
    if (!m_pFile) {
        // The file is parsed once per opening; every later key path is
        // answered from that parse. A file that cannot be read gives every
        // key its default, as the profile reading this replaces did.
        m_pFile = std::make_unique<CIniFile>();
        (void)m_pFile->Load(m_strPath);
    }
    m_pFile->ForEachValue(
        [this](std::string_view section, std::string_view key, const std::string& value) {
            // Longer names than a key path can give are never found.
            if (section.size() > kMaxSection || key.size() > kMaxKey) {
                return;
            }
            char name[kMaxIndexName];
            const std::string_view indexName(name, IndexName(section, key, name));
            // The parsed file does not change until the store is opened again.
            const char* text =
                value.size() <= kMaxValue ? value.c_str() : Keep(CutUtf8(value, kMaxValue));
            m_index.Add(
                Slot{Hash(indexName), std::string_view(Keep(indexName), indexName.size()), text});
        });
    m_bIndexed = true;
}

CIniStore::Key::Key(const char* keyPath) : m_strPath(keyPath), m_nPathHash(Hash(m_strPath)) {
    std::string_view section;
    std::string_view key;
    SplitKeyPath(m_strPath, section, key);
    char name[kMaxIndexName];
    m_strIndexName.assign(name, IndexName(section, key, name));
    m_nIndexHash = Hash(m_strIndexName);
}

const char* CIniStore::ReadUncached(std::string_view path, std::size_t pathHash,
                                    std::string_view indexName, std::size_t indexHash,
                                    const char* defaultText) {
    if (!m_bIndexed) {
        BuildIndex();
    }
    const char* text = m_index.Find(indexHash, indexName);
    if (text == nullptr) {
        const std::string_view cut = CutUtf8(defaultText, kMaxValue);
        text = cut.empty() ? "" : Keep(cut);
    }
    m_cache.Add(Slot{pathHash, std::string_view(Keep(path), path.size()), text});
    return text;
}

const char* CIniStore::GetString(const char* keyPath, const char* defaultText) {
    const std::string_view path(keyPath);
    const std::size_t hash = Hash(path);
    if (const char* cached = m_cache.Find(hash, path)) {
        return cached;
    }
    std::string_view section;
    std::string_view key;
    SplitKeyPath(path, section, key);
    char name[kMaxIndexName];
    const std::string_view indexName(name, IndexName(section, key, name));
    return ReadUncached(path, hash, indexName, Hash(indexName), defaultText);
}

const char* CIniStore::GetString(const Key& key, const char* defaultText) {
    if (const char* cached = m_cache.Find(key.m_nPathHash, key.m_strPath)) {
        return cached;
    }
    return ReadUncached(key.m_strPath, key.m_nPathHash, key.m_strIndexName, key.m_nIndexHash,
                        defaultText);
}

int CIniStore::GetInt(const char* keyPath, int defaultValue) {
    char defaultText[16];
    std::snprintf(defaultText, sizeof defaultText, "%d", defaultValue);
    return ParseDecimalInt(GetString(keyPath, defaultText));
}
