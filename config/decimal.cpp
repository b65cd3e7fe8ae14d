#include "config/decimal.h"

#include <climits>

int ParseDecimalInt(const char* text) {
    const char* p = text;
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\v' || *p == '\f' || *p == '\r') {
        ++p;
    }
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    // Accumulate in 64 bits and stop growing once past the 32-bit range, so
    // that any number of digits saturates instead of overflowing.
    long long value = 0;
    constexpr long long kCap = static_cast<long long>(INT_MAX) + 1;
    for (; *p >= '0' && *p <= '9'; ++p) {
        if (value <= kCap) {
            value = value * 10 + (*p - '0');
        }
    }
    if (negative) {
        return value >= kCap ? INT_MIN : static_cast<int>(-value);
    }
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}
