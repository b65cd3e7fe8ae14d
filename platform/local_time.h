#pragma once

#include <cstdint>
#include <string>

// time (seconds since 1970) in the user's time zone, formatted by strftime's
// format; "?" when the time cannot be converted.
std::string FormatLocalTime(std::int64_t time, const char* format);
