#pragma once

#include <string_view>

// Letter case of ASCII letters only, whatever the process locale says (a
// Turkish locale must not change how "HDDINFO" or "Maxtor " match).
char AsciiToLower(char c);
// The start of text equals prefix over the prefix's whole length.
bool AsciiStartsWithNoCase(const char* text, std::string_view prefix);
