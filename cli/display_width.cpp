#include "cli/display_width.h"

#include "platform/utf8.h"

#include <algorithm>

namespace {

bool IsWide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) ||
           (c >= 0x3041 && c <= 0x33FF) || (c >= 0x3400 && c <= 0x4DBF) ||
           (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

} // namespace

std::size_t DisplayWidth(std::string_view text) {
    std::size_t width = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        if (static_cast<unsigned char>(text[pos]) < 0x80) {
            ++width;
            ++pos;
            continue;
        }
        // A byte that starts no character is shown as one replacement mark.
        const std::size_t length = std::max<std::size_t>(Utf8SequenceLength(text, pos), 1);
        width += IsWide(DecodeUtf8Sequence(text.substr(pos, length))) ? 2 : 1;
        pos += length;
    }
    return width;
}

std::string PadToWidth(std::string_view text, std::size_t width) {
    std::string out(text);
    const std::size_t used = DisplayWidth(text);
    if (used < width) {
        out.append(width - used, ' ');
    }
    return out;
}
