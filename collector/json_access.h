#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

// Checked reads from smartctl's JSON. smartctl's output is trusted no more
// than any file: a member of the wrong type reads as missing, and nothing
// here throws.

// The member key of object, or nullptr when object is not an object or has no such member.
const nlohmann::json* JsonMember(const nlohmann::json* object, const char* key);

// A whole number in [0, 2^64). Negative numbers, fractions, numbers beyond 64
// bits (which the parser keeps as floating point), strings and every other type
// read as missing.
std::optional<std::uint64_t> JsonUnsigned(const nlohmann::json* value);

// A whole number in the signed 32-bit range; anything else reads as missing.
std::optional<std::int32_t> JsonInt32(const nlohmann::json* value);

// The text of a string value; empty for a missing value or another type.
std::string JsonText(const nlohmann::json* value);
