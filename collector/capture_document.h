#pragma once

#include "platform/result.h"

#include <cstddef>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

// smartctl -x of a drive is some hundred kilobytes; anything far larger is not a capture.
constexpr std::size_t kMaxCaptureBytes = 8u * 1024u * 1024u;
// smartctl nests a few levels; a deeper document is refused before parsing,
// so that a hostile file cannot make the parser build millions of nested values.
constexpr int kMaxCaptureDepth = 64;

// Parses smartctl's JSON output. A Failure (one line) when the text is too
// large, nested too deeply or not valid JSON. Never throws for bad input.
[[nodiscard]] Result<nlohmann::json> ParseCaptureDocument(std::string_view text);
