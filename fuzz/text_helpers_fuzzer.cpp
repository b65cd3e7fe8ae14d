// The small text facilities every report read goes through. Input layout:
// byte 0 is a buffer size or byte limit, byte 1 the field delimiter (0: an
// empty delimiter), the rest the text.
#include "cli/report_output.h"
#include "config/decimal.h"
#include "config/format_bounded.h"
#include "config/split_fields.h"
#include "config/text_encoding.h"
#include "fuzz/fuzz_check.h"
#include "platform/utf8.h"
#include "report/attribute_reading.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace {

int ReferenceDecimal(const char* text) {
    // strtoll saturates at the 64-bit range; clamping that to 32 bits gives
    // the saturating atoi that report numbers are read with.
    const long long value = std::strtoll(text, nullptr, 10);
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

// strtoll saturates at the 64-bit range, as raw values are read.
long long ReferenceDecimal64(const char* text) {
    return std::strtoll(text, nullptr, 10);
}

void CheckSplit(const std::string& text, const std::string& delimiter) {
    // Start from a list that holds something: the call must replace it.
    std::vector<std::string> all{"stale"};
    const int count = SplitFields(text.c_str(), delimiter.c_str(), all, 0);
    FUZZ_CHECK(count == static_cast<int>(all.size()));
    if (text.empty()) {
        FUZZ_CHECK(count == 0);
        return;
    }
    std::string joined;
    for (std::size_t i = 0; i < all.size(); ++i) {
        joined += (i == 0 ? "" : delimiter) + all[i];
    }
    FUZZ_CHECK(joined == text);

    std::vector<std::string> kept{"stale"};
    SplitFields(text.c_str(), delimiter.c_str(), kept, SPLIT_SKIP_EMPTY | 0xF0u);
    std::vector<std::string> expected;
    std::copy_if(all.begin(), all.end(), std::back_inserter(expected),
                 [](const std::string& field) { return !field.empty(); });
    FUZZ_CHECK(kept == expected);
}

void CheckAttributeLine(const std::string& text) {
    std::vector<std::string> fields;
    const bool fiveFields =
        !text.empty() && SplitFields(text.c_str(), ",", fields, SPLIT_SKIP_EMPTY) == 5;
    const Result<AttributeReading> parsed = ParseAttributeLine(text.c_str());
    FUZZ_CHECK(parsed.HasValue() == fiveFields);
    if (fiveFields) {
        const AttributeReading& reading = parsed.Value();
        FUZZ_CHECK(reading.current == ReferenceDecimal(fields[0].c_str()));
        FUZZ_CHECK(reading.worst == ReferenceDecimal(fields[1].c_str()));
        FUZZ_CHECK(reading.threshold == ReferenceDecimal(fields[2].c_str()));
        FUZZ_CHECK(reading.raw == ReferenceDecimal64(fields[3].c_str()));
        FUZZ_CHECK(reading.auxiliary ==
                   static_cast<std::uint16_t>(ReferenceDecimal(fields[4].c_str())));
    }
}

void CheckPrefix(const std::string& text, std::size_t limit) {
    const std::size_t kept = Utf8PrefixLength(text.data(), text.size(), limit);
    FUZZ_CHECK(kept <= std::min(limit, text.size()));
    if (text.size() <= limit) {
        FUZZ_CHECK(kept == text.size());
    } else if (IsValidUtf8(text)) {
        // Only a character that does not fit is dropped, and it has at most four bytes.
        FUZZ_CHECK(IsValidUtf8(std::string_view(text.data(), kept)));
        FUZZ_CHECK(kept + 3 >= limit);
    }
}

void CheckFormat(const std::string& text, unsigned size) {
    // A heap array of exactly size bytes, so that a write past it is caught.
    const std::unique_ptr<char[]> buffer(new char[size + 1]);
    std::memset(buffer.get(), '#', size + 1);
    const int result = FormatBounded(buffer.get(), size, "%s", text.c_str());
    const std::size_t length = std::strlen(text.c_str());
    if (size == 0) {
        FUZZ_CHECK(result == -1);
        FUZZ_CHECK(buffer[0] == '#');
        return;
    }
    const std::size_t written = std::strlen(buffer.get());
    FUZZ_CHECK(written <= size - 1);
    FUZZ_CHECK(std::strncmp(buffer.get(), text.c_str(), written) == 0);
    if (length <= size - 1) {
        FUZZ_CHECK(result == static_cast<int>(length));
        FUZZ_CHECK(written == length);
    } else {
        FUZZ_CHECK(result == -1);
        FUZZ_CHECK(written == Utf8PrefixLength(text.c_str(), length, size - 1));
    }

    // The shapes the evaluation formats with, cut the same way.
    char display[256];
    FormatBounded(display, sizeof display, "%s %s", text.c_str(), text.c_str());
    FUZZ_CHECK(std::strlen(display) <= 255);
    const int value = ReferenceDecimal(text.c_str());
    FUZZ_CHECK(FormatBounded(display, sizeof display, "%d (%+lld)", value,
                             static_cast<long long>(value) - INT_MIN) > 0);
}

void CheckEncoding(const std::string& bytes) {
    const std::string text = ToUtf8(bytes);
    FUZZ_CHECK(IsValidUtf8(text));
    if (IsValidUtf8(bytes)) {
        FUZZ_CHECK(text == bytes);
    }
    // One or two CP932 bytes never give more than three bytes of UTF-8.
    FUZZ_CHECK(text.size() <= 3 * bytes.size());
}

// The JSON output's strings: what a JSON reader reads back is the text with
// invalid UTF-8 replaced, control characters and all.
void CheckJsonString(const std::string& bytes) {
    const std::string replaced = ReplaceInvalidUtf8(bytes);
    FUZZ_CHECK(IsValidUtf8(replaced));
    // Each invalid byte becomes a three-byte mark.
    FUZZ_CHECK(IsValidUtf8(bytes) ? replaced == bytes : replaced.size() >= bytes.size() + 2);
    const nlohmann::json parsed = nlohmann::json::parse(JsonString(bytes), nullptr, false);
    FUZZ_CHECK(parsed.is_string());
    FUZZ_CHECK(parsed.get<std::string>() == replaced);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const unsigned limit = data[0];
    const std::string delimiter = data[1] == 0 ? std::string() : std::string(1, char(data[1]));
    const std::string bytes(reinterpret_cast<const char*>(data + 2), size - 2);
    // Every function here takes C strings: the text ends at its first NUL.
    const std::string text = bytes.substr(0, bytes.find('\0'));

    CheckEncoding(bytes);
    CheckJsonString(bytes);
    FUZZ_CHECK(ParseDecimalInt(text.c_str()) == ReferenceDecimal(text.c_str()));
    FUZZ_CHECK(ParseDecimalInt64(text.c_str()) == ReferenceDecimal64(text.c_str()));
    CheckAttributeLine(text);
    CheckPrefix(text, limit);
    CheckFormat(text, limit);
    if (!delimiter.empty()) {
        CheckSplit(text, delimiter);
        CheckSplit(text, delimiter + delimiter);
    } else {
        std::vector<std::string> fields;
        const int count = SplitFields(text.c_str(), "", fields, SPLIT_SKIP_EMPTY);
        FUZZ_CHECK(count == (text.empty() ? 0 : 1));
    }
    return 0;
}
