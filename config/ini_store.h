#pragma once

#include "config/ini_text.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Read access to one INI file by key paths SECTION::KEY for the length of one
// user action. A missing file, section or key gives the caller's default.
// The first read of a key path is cached, and later reads of the same key
// path answer from the cache whatever default they pass (a key that is there
// always gives its value; a missing one the default of its first read).
class CIniStore {
public:
    // Longest section name, key name and value text, in bytes.
    static constexpr std::size_t kMaxSection = 255;
    static constexpr std::size_t kMaxKey = 127;
    static constexpr std::size_t kMaxValue = 1023;
    static constexpr std::size_t kMaxFileSize = kMaxIniFileSize;

    CIniStore();
    virtual ~CIniStore();
    CIniStore(const CIniStore&) = delete;
    CIniStore& operator=(const CIniStore&) = delete;

    // Names the file to read (resolved in the program folder unless it begins
    // with '/') and empties the cache. The file is read on the first lookup.
    void Open(const char* name);
    // Reads key paths from bytes already in memory, decoded and limited like
    // a file's contents (over kMaxFileSize reads as empty), and
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
        std::string m_strSection; // ASCII lower case
        std::string m_strKey;     // ASCII lower case
        std::size_t m_nIndexHash;
    };

    // Texts returned stay valid and unchanged until the store is opened again
    // or destroyed. Never null.
    const char* GetString(const char* keyPath, const char* defaultText);
    // The same answer as GetString(key.Path(), defaultText).
    const char* GetString(const Key& key, const char* defaultText);
    int GetInt(const char* keyPath, int defaultValue);

    // Calls visit(key, text) for every key of section that a key path can
    // read, in no particular order: its name in ASCII lower case and the text
    // GetString would give. Caches nothing. For a reader that would otherwise
    // ask for many keys that are mostly absent.
    void ForEachKeyIn(std::string_view section,
                      const std::function<void(std::string_view key, const char* text)>& visit);

    // The section and key names of a key path: the first "::" divides; a key
    // path without it names a section and a key both equal to the whole text.
    static std::string GetSectionName(const char* keyPath);
    static std::string GetKeyName(const char* keyPath);

    const std::string& Path() const { return m_strPath; }

private:
    // A name with its hash and a text that stays in place until the store is
    // opened again: in the index the section and key names in ASCII lower
    // case and the value, all in the store's text; in the misses a key path as
    // written (key empty) and its first default, both kept copies.
    struct Slot {
        std::size_t hash = 0;
        std::string_view name;
        std::string_view key;
        const char* text = nullptr; // null: an empty slot
    };
    // Open addressing with linear probing, at most half full: a report's
    // hundreds of key paths cost a few allocations, not several each.
    class Table {
    public:
        const char* Find(std::size_t hash, std::string_view name, std::string_view key) const;
        // Room for entries without growing again.
        void Reserve(std::size_t entries);
        void Add(const Slot& slot);
        void Clear();
        template <typename Visit> void ForEach(Visit&& visit) const {
            for (const Slot& slot : m_slots) {
                if (slot.text != nullptr) {
                    visit(slot);
                }
            }
        }

    private:
        std::vector<Slot> m_slots;
        std::size_t m_nUsed = 0;
    };

    const char* Read(std::string_view section, std::string_view key, std::size_t indexHash,
                     std::string_view path, std::size_t pathHash, const char* defaultText);
    void Clear();
    // Reads the named file into the index when not done since it was opened.
    void EnsureIndexed();
    // Takes bytes as the store's text and indexes its values in place.
    void Index(std::string bytes);
    // A NUL-terminated copy of text that stays in place until Clear.
    const char* Keep(std::string_view text);

    std::string m_strPath;
    // The file's text, decoded; names are put in lower case and values ended
    // by a NUL in place, so that the index points into it.
    std::string m_strText;
    Table m_index;
    bool m_bIndexed = false;
    Table m_misses;
    std::vector<std::unique_ptr<char[]>> m_texts;
    char* m_pTextNext = nullptr;
    std::size_t m_nTextFree = 0;
    static constexpr std::size_t kFirstTextBlockSize = 1024;
    std::size_t m_nTextBlockSize = kFirstTextBlockSize;
};
