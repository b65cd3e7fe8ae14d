#include "collector/decoded_raw_value.h"

#include "collector/json_access.h"

#include <algorithm>
#include <limits>

namespace {

constexpr std::uint64_t kInt64Max = std::numeric_limits<std::int64_t>::max();

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Consumes one or more digits at the front of text.
bool SkipDigits(std::string_view& text) {
    const auto end = std::find_if_not(text.begin(), text.end(), IsDigit);
    const auto count = static_cast<std::size_t>(end - text.begin());
    text.remove_prefix(count);
    return count > 0;
}

bool SkipChar(std::string_view& text, char c) {
    if (text.empty() || text.front() != c) {
        return false;
    }
    text.remove_prefix(1);
    return true;
}

// " (...)" up to the end of the text.
bool IsRemark(std::string_view rest) {
    return rest.size() >= 3 && rest.substr(0, 2) == " (" && rest.back() == ')';
}

// "h", "h+MMm" or "h+MMm+SS[.fff]s" up to the end of the text.
bool IsDuration(std::string_view rest) {
    if (!SkipChar(rest, 'h')) {
        return false;
    }
    if (rest.empty()) {
        return true;
    }
    if (!SkipChar(rest, '+') || !SkipDigits(rest) || !SkipChar(rest, 'm')) {
        return false;
    }
    if (rest.empty()) {
        return true;
    }
    if (!SkipChar(rest, '+') || !SkipDigits(rest)) {
        return false;
    }
    if (SkipChar(rest, '.') && !SkipDigits(rest)) {
        return false;
    }
    return SkipChar(rest, 's') && rest.empty();
}

} // namespace

std::optional<std::int64_t> DecodedRawNumber(std::string_view text) {
    std::string_view rest = text;
    if (!SkipDigits(rest)) {
        return std::nullopt;
    }
    if (!rest.empty() && !IsRemark(rest) && !IsDuration(rest)) {
        return std::nullopt;
    }
    std::uint64_t number = 0;
    for (char c : text.substr(0, text.size() - rest.size())) {
        const auto digit = static_cast<std::uint64_t>(c - '0');
        number = number > (kInt64Max - digit) / 10 ? kInt64Max : number * 10 + digit;
    }
    return static_cast<std::int64_t>(number);
}

std::optional<std::int64_t> AtaRawField(const nlohmann::json& raw, bool valueOnly) {
    if (!valueOnly) {
        const nlohmann::json* text = JsonMember(&raw, "string");
        if (text != nullptr && text->is_string()) {
            if (const auto number = DecodedRawNumber(text->get_ref<const std::string&>())) {
                return number;
            }
        }
    }
    if (const auto value = JsonUnsigned(JsonMember(&raw, "value"))) {
        return static_cast<std::int64_t>(std::min(*value, kInt64Max));
    }
    return std::nullopt;
}
