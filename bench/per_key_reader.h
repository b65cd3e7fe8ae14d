#pragma once

#include <string>

// The baseline the store is measured against: every single key read opens,
// reads and parses the whole file again, with no cache.
std::string ReadKeyPerCall(const std::string& path, const char* keyPath, const char* defaultText);
