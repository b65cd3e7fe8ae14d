#include "config/decimal.h"

#include <climits>

long long ParseDecimalInt64(const char* text) {
    const char* p = text;
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\v' || *p == '\f' || *p == '\r') {
        ++p;
    }
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    // The magnitude, held at 2^63 once it reaches the end of the signed
    // 64-bit range, so that any number of digits saturates instead of
    // overflowing.
    unsigned long long value = 0;
    constexpr unsigned long long kCap = static_cast<unsigned long long>(LLONG_MAX) + 1;
    for (; *p >= '0' && *p <= '9'; ++p) {
        value = value > kCap / 10 ? kCap : value * 10 + static_cast<unsigned>(*p - '0');
    }
    if (negative) {
        return value >= kCap ? LLONG_MIN : -static_cast<long long>(value);
    }
    return value >= kCap ? LLONG_MAX : static_cast<long long>(value);
}

int ParseDecimalInt(const char* text) {
    const long long value = ParseDecimalInt64(text);
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}
