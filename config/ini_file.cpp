#include "config/ini_file.h"

#include "config/ascii_case.h"
#include "config/ini_text.h"
#include "config/text_encoding.h"
#include "platform/regular_file.h"
#include "platform/utf8.h"

namespace {

std::string AsciiLower(std::string_view name) {
    std::string lower(name);
    for (char& c : lower) {
        c = AsciiToLower(c);
    }
    return lower;
}

} // namespace

Result<void> CIniFile::Load(const std::string& path) {
    m_sections.clear();
    m_bLoaded = false;
    Result<std::string> bytes = ReadRegularFile(path, kMaxFileSize);
    if (!bytes) {
        return bytes.Error();
    }
    Parse(*bytes);
    return {};
}

void CIniFile::Parse(std::string_view bytes) {
    m_sections.clear();
    m_bLoaded = true;
    // Report files are UTF-8: only other text is decoded into a copy.
    std::string decoded;
    std::string_view text = bytes;
    if (!IsValidUtf8(bytes)) {
        decoded = DecodeCp932(bytes);
        text = decoded;
    }
    Section* current = nullptr;
    ForEachIniLine(
        text,
        [this, &current](std::string_view name) {
            // The first section of a name is the only one read, even when a
            // later one of the same name holds the key: reports rely on the
            // first block winning, so a repeated section is skipped.
            const auto [section, added] = m_sections.try_emplace(AsciiLower(name));
            current = added ? &section->second : nullptr;
            return added;
        },
        [&current](std::string_view key, std::string_view value) {
            current->try_emplace(AsciiLower(key), value);
        });
}

const std::string* CIniFile::Find(std::string_view section, std::string_view key) const {
    const auto found = m_sections.find(AsciiLower(section));
    if (found == m_sections.end()) {
        return nullptr;
    }
    const auto value = found->second.find(AsciiLower(key));
    return value != found->second.end() ? &value->second : nullptr;
}
