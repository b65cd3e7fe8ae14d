#include "report/format_grouped.h"

#include <cstdio>

std::string FormatGrouped(long long value) {
    char text[32];
    if (value < 1000) {
        std::snprintf(text, sizeof text, "%lld", value);
    } else if (value < 1000000) {
        std::snprintf(text, sizeof text, "%lld,%03lld", value / 1000, value % 1000);
    } else {
        std::snprintf(text, sizeof text, "%lld,%03lld,%03lld", value / 1000000, value / 1000 % 1000,
                      value % 1000);
    }
    return text;
}
