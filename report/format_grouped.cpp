#include "report/format_grouped.h"

#include <cstdio>

std::string FormatGrouped(int value) {
    char text[32];
    if (value < 1000) {
        std::snprintf(text, sizeof text, "%d", value);
    } else if (value < 1000000) {
        std::snprintf(text, sizeof text, "%d,%03d", value / 1000, value % 1000);
    } else {
        std::snprintf(text, sizeof text, "%d,%03d,%03d", value / 1000000, value / 1000 % 1000,
                      value % 1000);
    }
    return text;
}
