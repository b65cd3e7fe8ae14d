#pragma once

#include <string_view>

// Letter case of ASCII letters only, whatever the process locale says (a
// Turkish locale must not change how "HDDINFO" or "Maxtor " match).
char AsciiToLower(char c);
bool AsciiEqualsNoCase(std::string_view a, std::string_view b);
// The start of text equals prefix over the prefix's whole length.
bool AsciiStartsWithNoCase(const char* text, std::string_view prefix);
