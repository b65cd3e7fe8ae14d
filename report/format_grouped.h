#pragma once

#include <string>

// Decimal text with comma thousands groups. Numbers below 1000 (negative ones
// included) are plain; the leading group is never split further, so a value of
// a thousand million or more has four or more digits before the first comma.
std::string FormatGrouped(long long value);
