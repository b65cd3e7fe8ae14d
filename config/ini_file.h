#pragma once

#include "config/ini_text.h"
#include "platform/result.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

// One parsed INI file, read with the rules of ForEachIniLine (config/ini_text.h),
// ASCII case-insensitive names; the first matching section and key win.
class CIniFile {
public:
    // Files larger than this read as missing.
    static constexpr std::size_t kMaxFileSize = kMaxIniFileSize;

    // Reads and parses path. Only regular files are read (never blocks on a
    // FIFO or device); a missing (kind Missing), unreadable or oversized file
    // gives a Failure and an empty file object.
    Result<void> Load(const std::string& path);
    // Parses text that is already in memory (decoded like a file's bytes).
    void Parse(std::string_view bytes);

    bool IsLoaded() const { return m_bLoaded; }

    // The value of key in section, or nullptr when the section or key is
    // missing. The pointer stays valid until the next Load or Parse.
    const std::string* Find(std::string_view section, std::string_view key) const;

    // Calls visit(section, key, value) for every value Find can give, with the
    // names in ASCII lower case.
    template <typename Visit> void ForEachValue(Visit&& visit) const {
        for (const auto& [section, keys] : m_sections) {
            for (const auto& [key, value] : keys) {
                visit(section, key, value);
            }
        }
    }

private:
    // Key names in ASCII lower case to values.
    using Section = std::unordered_map<std::string, std::string>;

    // Section names in ASCII lower case. Only the first section and key of a
    // name is kept, as no later one can ever be found: a file that repeats
    // names costs nothing, and a lookup takes the same short time however
    // many names a (hostile) file holds.
    std::unordered_map<std::string, Section> m_sections;
    bool m_bLoaded = false;
};
