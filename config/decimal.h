#pragma once

// Converts like the C library's atoi (leading blanks, one sign, digits up to
// the first other character, no digits gives 0), but saturates to the 32-bit
// range instead of overflowing.
int ParseDecimalInt(const char* text);

// The same conversion, saturating to the signed 64-bit range: drives count
// written sectors and hours beyond 32 bits.
long long ParseDecimalInt64(const char* text);
