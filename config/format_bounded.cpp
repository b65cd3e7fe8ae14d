#include "config/format_bounded.h"

#include "platform/utf8.h"

#include <cstdio>

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
