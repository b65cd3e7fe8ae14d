#include "config/ini_file.h"

#include "config/ascii_case.h"
#include "config/text_encoding.h"
#include "platform/regular_file.h"

namespace {

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

std::string AsciiLower(std::string_view name) {
    std::string lower(name);
    for (char& c : lower) {
        c = AsciiToLower(c);
    }
    return lower;
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
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
    const std::string text = ToUtf8(bytes);
    std::string_view rest(text);
    if (rest.substr(0, 3) == "\xEF\xBB\xBF") {
        rest.remove_prefix(3);
    }
    Section* current = nullptr;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        // A NUL ends the line's text, as it would end a C string.
        line = line.substr(0, line.find('\0'));
        line = Trim(line);
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            const std::string_view name =
                Trim(line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1));
            // The first section of a name is the only one read, even when a
            // later one of the same name holds the key: reports rely on the
            // first block winning, so a repeated section is skipped.
            const auto [section, added] = m_sections.try_emplace(AsciiLower(name));
            current = added ? &section->second : nullptr;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (current == nullptr || equals == std::string_view::npos) {
            continue;
        }
        const std::string_view key = Trim(line.substr(0, equals));
        const std::string_view value = Unquote(Trim(line.substr(equals + 1)));
        current->try_emplace(AsciiLower(key), value);
    }
}

const std::string* CIniFile::Find(std::string_view section, std::string_view key) const {
    const auto found = m_sections.find(AsciiLower(section));
    if (found == m_sections.end()) {
        return nullptr;
    }
    const auto value = found->second.find(AsciiLower(key));
    return value != found->second.end() ? &value->second : nullptr;
}
