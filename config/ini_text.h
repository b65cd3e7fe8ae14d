#pragma once

#include <cstddef>
#include <string_view>

// INI files larger than this read as missing.
inline constexpr std::size_t kMaxIniFileSize = 16u * 1024u * 1024u;

namespace ini_text_detail {

inline bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

inline std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

inline std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

} // namespace ini_text_detail

// The lines of an INI text by the rules report files were written for: LF
// line ends (a CR before it dropped), a UTF-8 byte-order mark skipped,
// [section] lines, key=value split at the first '=', blanks trimmed, one pair
// of matching quotes removed from a value, ';' comments, a NUL ending its
// line's text. onSection(name) is called for each section line and answers
// whether the keys under it are wanted; onValue(key, value) for each key line
// under a wanted section (lines before the first section are skipped). The
// views point into text, and each call comes after its line has been read, so
// a caller that owns the text may change that line in place.
template <typename OnSection, typename OnValue>
void ForEachIniLine(std::string_view text, OnSection&& onSection, OnValue&& onValue) {
    using ini_text_detail::Trim;
    std::string_view rest = text;
    if (rest.substr(0, 3) == "\xEF\xBB\xBF") {
        rest.remove_prefix(3);
    }
    bool wanted = false;
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
            wanted = onSection(Trim(
                line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1)));
            continue;
        }
        const std::size_t equals = line.find('=');
        if (wanted && equals != std::string_view::npos) {
            onValue(Trim(line.substr(0, equals)),
                    ini_text_detail::Unquote(Trim(line.substr(equals + 1))));
        }
    }
}
