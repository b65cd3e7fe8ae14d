#include "platform/local_time.h"

#include <ctime>

std::string FormatLocalTime(std::int64_t time, const char* format) {
    const std::time_t seconds = static_cast<std::time_t>(time);
    std::tm parts{};
    char text[64] = "?";
    if (localtime_r(&seconds, &parts) != nullptr &&
        std::strftime(text, sizeof text, format, &parts) == 0) {
        text[0] = '\0';
    }
    return text;
}
