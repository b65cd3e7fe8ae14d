#include "collector/capture_document.h"

#include "collector/report_text.h"
#include "platform/utf8.h"

#include <algorithm>

namespace {

// Deepest nesting of arrays and objects, counted outside strings; stops
// counting once limit is passed.
int NestingDepth(std::string_view text, int limit) {
    int depth = 0;
    int deepest = 0;
    bool inString = false;
    bool escaped = false;
    for (const char c : text) {
        if (inString) {
            if (escaped) {
                escaped = false;
            } else if (c == '\\') {
                escaped = true;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            deepest = std::max(deepest, ++depth);
            if (deepest > limit) {
                break;
            }
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return deepest;
}

} // namespace

Result<nlohmann::json> ParseCaptureDocument(std::string_view text) {
    if (text.size() > kMaxCaptureBytes) {
        return Failure{"the output is larger than " + std::to_string(kMaxCaptureBytes) + " bytes"};
    }
    if (NestingDepth(text, kMaxCaptureDepth) > kMaxCaptureDepth) {
        return Failure{"the output is nested too deeply to be smartctl's"};
    }
    // smartctl copies a drive's identity bytes into its strings as they are;
    // the JSON parser refuses the whole capture for one byte that is not
    // UTF-8, so such bytes become U+FFFD first, as in any report text.
    const std::string valid = ReplaceInvalidUtf8(text);
    nlohmann::json document = nlohmann::json::parse(valid.begin(), valid.end(), nullptr, false);
    if (document.is_discarded()) {
        return Failure{"the output is not valid JSON"};
    }
    return Result<nlohmann::json>(std::move(document));
}
