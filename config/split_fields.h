#pragma once

#include <string>
#include <vector>

// Empty fields are not added to the list.
constexpr unsigned SPLIT_SKIP_EMPTY = 2;

// Replaces fields by the pieces of text between delimiters and returns their
// count. An empty text gives no field at all. Fields are not trimmed.
int SplitFields(const char* text, const char* delimiter, std::vector<std::string>& fields,
                unsigned flags);
