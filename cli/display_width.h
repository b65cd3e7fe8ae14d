#pragma once

#include <string>
#include <string_view>

// Terminal columns taken by UTF-8 text: East Asian wide and full-width
// characters take two, half-width katakana and everything else one.
std::size_t DisplayWidth(std::string_view text);

// text followed by blanks up to width columns (nothing added when wider).
std::string PadToWidth(std::string_view text, std::size_t width);
