#include "config/split_fields.h"

#include "config/char_buffer.h"

#include <cstring>

int SplitFields(const char* text, const char* delimiter, std::vector<std::string>& fields,
                unsigned flags) {
    fields.clear();
    if (text[0] == '\0') {
        return 0;
    }
    const bool skipEmpty = (flags & SPLIT_SKIP_EMPTY) != 0;
    const std::size_t delimiterLength = std::strlen(delimiter);

    // Cut a working copy, so that the caller's text (often a store's cached
    // value) is never written.
    CCharBuffer copy;
    if (!copy.SetText(text)) {
        return 0;
    }
    auto append = [&](const char* field) {
        if (!(skipEmpty && field[0] == '\0')) {
            fields.emplace_back(field);
        }
    };
    char* start = copy.m_pData;
    if (delimiterLength > 0) {
        while (char* found = std::strstr(start, delimiter)) {
            *found = '\0';
            append(start);
            start = found + delimiterLength;
        }
    }
    append(start);
    return static_cast<int>(fields.size());
}
