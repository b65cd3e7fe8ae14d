#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CIniFile;

// Read access to one INI file by key paths SECTION::KEY for the length of one
// user action. A missing file, section or key gives the caller's default.
// The first read of a key path is cached, and later reads of the same key
// path answer from the cache whatever default they pass.
class CIniStore {
public:
    // Longest section name, key name and value text, in bytes.
    static constexpr std::size_t kMaxSection = 255;
    static constexpr std::size_t kMaxKey = 127;
    static constexpr std::size_t kMaxValue = 1023;

    CIniStore();
    virtual ~CIniStore();
    CIniStore(const CIniStore&) = delete;
    CIniStore& operator=(const CIniStore&) = delete;

    // Names the file to read (resolved in the program folder unless it begins
    // with '/') and empties the cache. The file is read on the first lookup.
    void Open(const char* name);
    // Reads key paths from bytes already in memory, decoded and limited like
    // a file's contents (over CIniFile::kMaxFileSize reads as empty), and
    // empties the cache; Path() is then empty.
    void OpenText(std::string_view bytes);

    // A key path with its lookup names worked out once, for key paths read
    // from many stores or many times.
    class Key {
    public:
        explicit Key(const char* keyPath);
        const char* Path() const { return m_strPath.c_str(); }

    private:
        friend class CIniStore;
        std::string m_strPath;
        std::size_t m_nPathHash;
        std::string m_strIndexName;
        std::size_t m_nIndexHash;
    };

    // Texts returned stay valid and unchanged until the store is opened again
    // or destroyed. Never null.
    const char* GetString(const char* keyPath, const char* defaultText);
    // The same answer as GetString(key.Path(), defaultText).
    const char* GetString(const Key& key, const char* defaultText);
    int GetInt(const char* keyPath, int defaultValue);

    // The section and key names of a key path: the first "::" divides; a key
    // path without it names a section and a key both equal to the whole text.
    static std::string GetSectionName(const char* keyPath);
    static std::string GetKeyName(const char* keyPath);

    const std::string& Path() const { return m_strPath; }

private:
    // A name with its hash and a text that stays in place until the store is
    // opened again: in the cache a key path as written and its answer, in the
    // index "section\0key" in ASCII lower case and the value as read.
    struct Slot {
        std::size_t hash = 0;
        std::string_view name;
        const char* text = nullptr; // null: an empty slot
    };
    // Open addressing with linear probing, at most half full: a report's
    // hundreds of key paths cost a few allocations, not several each.
    class Table {
    public:
        const char* Find(std::size_t hash, std::string_view name) const;
        void Add(const Slot& slot);
        void Clear();

    private:
        std::vector<Slot> m_slots;
        std::size_t m_nUsed = 0;
    };

    // A key path not in the cache: answered from the index and cached.
    const char* ReadUncached(std::string_view path, std::size_t pathHash,
                             std::string_view indexName, std::size_t indexHash,
                             const char* defaultText);
    void Clear();
    void BuildIndex();
    // A NUL-terminated copy of text that stays in place until Clear.
    const char* Keep(std::string_view text);

    std::string m_strPath;
    Table m_cache;
    Table m_index;
    bool m_bIndexed = false;
    std::vector<std::unique_ptr<char[]>> m_texts;
    char* m_pTextNext = nullptr;
    std::size_t m_nTextFree = 0;
    std::unique_ptr<CIniFile> m_pFile;
};
