#include "config/ini_store.h"

#include "config/decimal.h"
#include "config/format_bounded.h"
#include "config/program_folder.h"
#include "config/text_encoding.h"
#include "platform/regular_file.h"
#include "platform/utf8.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <functional>
#include <unordered_set>

namespace {

// Tables and text blocks start small and grow: a store holds anything from a
// few keys (a vendor table lookup) to a report's few hundred key paths.
constexpr std::size_t kFirstTableSize = 16; // a power of two
constexpr std::size_t kMaxTextBlockSize = 16 * 1024;

std::string_view CutUtf8(std::string_view text, std::size_t limit) {
    return text.substr(0, Utf8PrefixLength(text.data(), text.size(), limit));
}

// The section and key names of a key path, as views into it.
void SplitKeyPath(std::string_view keyPath, std::string_view& section, std::string_view& key) {
    const std::size_t divider = keyPath.find("::");
    const bool divided = divider != std::string_view::npos;
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

// Writes name in ASCII lower case to lower, which holds name.size() bytes.
std::string_view LowerInto(std::string_view name, char* lower) {
    for (std::size_t i = 0; i < name.size(); ++i) {
        lower[i] = kLower[static_cast<unsigned char>(name[i])];
    }
    return std::string_view(lower, name.size());
}

std::size_t Hash(std::string_view name) {
    return std::hash<std::string_view>{}(name);
}

// The index's hash of a section and key name in lower case.
std::size_t IndexHash(std::string_view section, std::string_view key) {
    return Hash(section) * 0x9E3779B97F4A7C15u ^ Hash(key);
}

} // namespace

const char* CIniStore::Table::Find(std::size_t hash, std::string_view name,
                                   std::string_view key) const {
    if (m_slots.empty()) {
        return nullptr;
    }
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = hash & mask; m_slots[i].text != nullptr; i = (i + 1) & mask) {
        if (m_slots[i].hash == hash && m_slots[i].name == name && m_slots[i].key == key) {
            return m_slots[i].text;
        }
    }
    return nullptr;
}

void CIniStore::Table::Reserve(std::size_t entries) {
    std::size_t size = m_slots.empty() ? kFirstTableSize : m_slots.size();
    while (entries * 2 > size) {
        size *= 2;
    }
    if (size == m_slots.size()) {
        return;
    }
    std::vector<Slot> old(size);
    old.swap(m_slots);
    m_nUsed = 0;
    for (const Slot& moved : old) {
        if (moved.text != nullptr) {
            Add(moved);
        }
    }
}

void CIniStore::Table::Add(const Slot& slot) {
    if ((m_nUsed + 1) * 2 > m_slots.size()) {
        Reserve(std::max<std::size_t>(m_nUsed + 1, m_slots.size()));
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
}

void CIniStore::OpenText(std::string_view bytes) {
    m_strPath.clear();
    Clear();
    Index(bytes.size() <= kMaxFileSize ? std::string(bytes) : std::string());
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
    m_misses.Clear();
    m_index.Clear();
    m_strText.clear();
    m_bIndexed = false;
    m_texts.clear();
    m_pTextNext = nullptr;
    m_nTextFree = 0;
    m_nTextBlockSize = kFirstTextBlockSize;
}

const char* CIniStore::Keep(std::string_view text) {
    const std::size_t size = text.size() + 1;
    char* target = nullptr;
    // Blocks are written before they are read: not zeroed.
    if (size > m_nTextBlockSize / 4) {
        // A long text gets a block of its own; the current block stays open.
        m_texts.emplace_back(new char[size]);
        target = m_texts.back().get();
    } else {
        if (size > m_nTextFree) {
            m_texts.emplace_back(new char[m_nTextBlockSize]);
            m_pTextNext = m_texts.back().get();
            m_nTextFree = m_nTextBlockSize;
            m_nTextBlockSize = std::min(m_nTextBlockSize * 2, kMaxTextBlockSize);
        }
        target = m_pTextNext;
        m_pTextNext += size;
        m_nTextFree -= size;
    }
    std::memcpy(target, text.data(), text.size());
    target[text.size()] = '\0';
    return target;
}

void CIniStore::EnsureIndexed() {
    if (m_bIndexed) {
        return;
    }
    // The file is read once per opening; every later key path is answered
    // from that reading. A file that cannot be read gives every key its
    // default, as the profile reading this replaces did.
    Result<std::string> bytes = ReadRegularFile(m_strPath, kMaxFileSize);
    Index(bytes ? std::move(bytes.Value()) : std::string());
}

void CIniStore::Index(std::string bytes) {
    m_strText = IsValidUtf8(bytes) ? std::move(bytes) : DecodeCp932(bytes);
    m_bIndexed = true;
    char* const text = m_strText.data();
    const auto inText = [text](std::string_view view) { return text + (view.data() - text); };
    // Only the first section of a name is read, even when a later one holds
    // the key (reports rely on the first block winning); in it the first key
    // of a name. The set's names are the sections' own, put in lower case.
    std::unordered_set<std::string_view> sections;
    std::string_view section;
    ForEachIniLine(
        m_strText,
        [&](std::string_view name) {
            section = LowerInto(name, inText(name));
            return sections.insert(section).second;
        },
        [&](std::string_view key, std::string_view value) {
            // Longer names than a key path can give are never found.
            if (section.size() > kMaxSection || key.size() > kMaxKey) {
                return;
            }
            key = LowerInto(key, inText(key));
            const std::size_t hash = IndexHash(section, key);
            if (m_index.Find(hash, section, key) != nullptr) {
                return;
            }
            // The byte after the value (a blank, a quote, the line's end or
            // the text's) is no longer needed: it ends the value's text.
            value = CutUtf8(value, kMaxValue);
            *inText(value.substr(value.size())) = '\0';
            m_index.Add(Slot{hash, section, key, value.data()});
        });
}

CIniStore::Key::Key(const char* keyPath) : m_strPath(keyPath), m_nPathHash(Hash(m_strPath)) {
    std::string_view section;
    std::string_view key;
    SplitKeyPath(m_strPath, section, key);
    m_strSection.resize(section.size());
    m_strKey.resize(key.size());
    m_nIndexHash =
        IndexHash(LowerInto(section, m_strSection.data()), LowerInto(key, m_strKey.data()));
}

const char* CIniStore::Read(std::string_view section, std::string_view key, std::size_t indexHash,
                            std::string_view path, std::size_t pathHash, const char* defaultText) {
    EnsureIndexed();
    // A key that is there gives the same text whatever the default: only
    // the first default of a missing key path needs to be remembered.
    if (const char* text = m_index.Find(indexHash, section, key)) {
        return text;
    }
    if (const char* pinned = m_misses.Find(pathHash, path, {})) {
        return pinned;
    }
    const std::string_view cut = CutUtf8(defaultText, kMaxValue);
    const char* text = cut.empty() ? "" : Keep(cut);
    m_misses.Add(Slot{pathHash, std::string_view(Keep(path), path.size()), {}, text});
    return text;
}

const char* CIniStore::GetString(const char* keyPath, const char* defaultText) {
    const std::string_view path(keyPath);
    const std::size_t pathHash = Hash(path);
    // A path read before and missing answers without working out its names
    // (the index never changes while the store is open).
    if (const char* pinned = m_misses.Find(pathHash, path, {})) {
        return pinned;
    }
    std::string_view section;
    std::string_view key;
    SplitKeyPath(path, section, key);
    char sectionLower[kMaxSection];
    char keyLower[kMaxKey];
    section = LowerInto(section, sectionLower);
    key = LowerInto(key, keyLower);
    return Read(section, key, IndexHash(section, key), path, pathHash, defaultText);
}

const char* CIniStore::GetString(const Key& key, const char* defaultText) {
    return Read(key.m_strSection, key.m_strKey, key.m_nIndexHash, key.m_strPath, key.m_nPathHash,
                defaultText);
}

void CIniStore::ForEachKeyIn(
    std::string_view section,
    const std::function<void(std::string_view key, const char* text)>& visit) {
    EnsureIndexed();
    std::string_view name;
    std::string_view key;
    SplitKeyPath(section, name, key);
    char lower[kMaxSection];
    name = LowerInto(name, lower);
    m_index.ForEach([&](const Slot& slot) {
        if (slot.name == name) {
            visit(slot.key, slot.text);
        }
    });
}

int CIniStore::GetInt(const char* keyPath, int defaultValue) {
    char defaultText[16];
    std::snprintf(defaultText, sizeof defaultText, "%d", defaultValue);
    return ParseDecimalInt(GetString(keyPath, defaultText));
}
