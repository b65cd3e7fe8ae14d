#include "cli/display_width.h"

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
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 1;
        char32_t code = lead;
        if (lead >= 0xF0) {
            length = 4, code = lead & 0x07u;
        } else if (lead >= 0xE0) {
            length = 3, code = lead & 0x0Fu;
        } else if (lead >= 0xC0) {
            length = 2, code = lead & 0x1Fu;
        }
        if (i + length > text.size()) {
            length = text.size() - i;
        }
        for (std::size_t k = 1; k < length; ++k) {
            code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3Fu);
        }
        width += IsWide(code) ? 2 : 1;
        i += length;
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
