#pragma once

#include <cstdarg>
#include <cstddef>

// printf-style formatting into a buffer of known size, always terminated.
// Returns the text's length when it fits in size - 1 bytes, otherwise -1 with
// the text cut (never inside a UTF-8 character). size 0 writes nothing, -1.
int FormatBounded(char* buffer, unsigned size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
int FormatBoundedV(char* buffer, unsigned size, const char* format, va_list args)
    __attribute__((format(printf, 3, 0)));
