#include "config/format_bounded.h"

#include <cstdio>

namespace {

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0u) == 0x80u;
}

} // namespace

std::size_t Utf8PrefixLength(const char* text, std::size_t length, std::size_t limit) {
    if (length <= limit) {
        return length;
    }
    // Find the lead byte of the last character kept; when its sequence does
    // not fit in the limit, cut before it. Only the kept bytes are looked at,
    // so this also works on a buffer whose byte at the limit is overwritten.
    std::size_t start = limit;
    for (int back = 0; back < 4 && start > 0 && IsContinuationByte(text[start - 1]); ++back) {
        --start;
    }
    if (start == 0) {
        return limit; // not UTF-8 at all: cut where asked
    }
    const auto lead = static_cast<unsigned char>(text[start - 1]);
    std::size_t need = 1;
    if ((lead & 0xE0u) == 0xC0u) {
        need = 2;
    } else if ((lead & 0xF0u) == 0xE0u) {
        need = 3;
    } else if ((lead & 0xF8u) == 0xF0u) {
        need = 4;
    }
    return limit - (start - 1) < need ? start - 1 : limit;
}

int FormatBoundedV(char* buffer, unsigned size, const char* format, va_list args) {
    if (size == 0) {
        return -1;
    }
    buffer[size - 1] = '\0';
    const int length = std::vsnprintf(buffer, size, format, args);
    if (length < 0) {
        buffer[0] = '\0';
        return -1;
    }
    if (static_cast<unsigned>(length) <= size - 1) {
        return length;
    }
    buffer[Utf8PrefixLength(buffer, size, size - 1)] = '\0';
    return -1;
}

int FormatBounded(char* buffer, unsigned size, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int result = FormatBoundedV(buffer, size, format, args);
    va_end(args);
    return result;
}
