#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Bytes of the valid UTF-8 sequence that starts at text[pos] (1 to 4), or 0
// when none starts there: a stray continuation byte, an overlong form, a
// UTF-16 surrogate, a code point beyond U+10FFFF, or a sequence cut short.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t pos);

bool IsValidUtf8(std::string_view bytes);

// The code point of one valid sequence (as measured by Utf8SequenceLength).
char32_t DecodeUtf8Sequence(std::string_view sequence);

// The text with every byte that starts no valid sequence replaced by U+FFFD;
// valid text comes back unchanged.
std::string ReplaceInvalidUtf8(std::string_view text);

// Length of the longest prefix of text[0, length) that is at most limit bytes
// and does not end inside a UTF-8 sequence.
std::size_t Utf8PrefixLength(const char* text, std::size_t length, std::size_t limit);

// U+FFFD, the mark of a byte that formed no character.
inline constexpr char kUtf8Replacement[] = "\xEF\xBF\xBD";
