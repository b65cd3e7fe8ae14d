#include "config/split_fields.h"

#include <string_view>

int SplitFields(const char* text, const char* delimiter, std::vector<std::string>& fields,
                unsigned flags) {
    fields.clear();
    if (text[0] == '\0') {
        return 0;
    }
    const bool skipEmpty = (flags & SPLIT_SKIP_EMPTY) != 0;
    const std::string_view separator(delimiter);
    auto append = [&](std::string_view field) {
        if (!(skipEmpty && field.empty())) {
            fields.emplace_back(field);
        }
    };
    std::string_view rest(text);
    std::size_t found = 0;
    while (!separator.empty() && (found = rest.find(separator)) != std::string_view::npos) {
        append(rest.substr(0, found));
        rest.remove_prefix(found + separator.size());
    }
    append(rest);
    return static_cast<int>(fields.size());
}
