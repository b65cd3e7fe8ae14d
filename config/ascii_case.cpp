#include "config/ascii_case.h"

char AsciiToLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool AsciiStartsWithNoCase(const char* text, std::string_view prefix) {
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        // The text's terminator differs from every prefix character.
        if (text[i] == '\0' || AsciiToLower(text[i]) != AsciiToLower(prefix[i])) {
            return false;
        }
    }
    return true;
}
