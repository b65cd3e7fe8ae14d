#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string_view>

// smartctl decodes each attribute's raw bytes per drive model from its drive
// database and shows the result as raw.string. Its leading number is the
// figure users know when the string is
//   a plain number:                         "2754608750246"
//   a number and a remark in parentheses:   "346 (Average 342)", "33 (0 19 0 0 0)"
//   a duration, whose number is the hours:  "16671h+22m+05.274s", "4567h+12m"
// Any other form (counters side by side as "0 0 5" or "0/6", hex "0x...",
// an empty or missing string) gives nullopt: the whole raw.value is the
// count then. Numbers beyond the signed 64-bit range are held at its end.
std::optional<std::int64_t> DecodedRawNumber(std::string_view text);

// The raw field of an ATA attribute line for entry's raw object: the decoded
// number of raw.string, else raw.value (held at the signed 64-bit end), else
// nullopt. valueOnly: use raw.value alone, for counts that the evaluation
// itself converts (the power-on minutes and seconds of some makers).
std::optional<std::int64_t> AtaRawField(const nlohmann::json& raw, bool valueOnly);
