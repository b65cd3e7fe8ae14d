#pragma once

#include <cstdint>

// The model-dependent rules of the evaluation. Model prefixes compare ASCII
// case-insensitively over the prefix's own length.

// Maxtor drives count power-on time in minutes and Fujitsu drives in seconds;
// AdjustRaw converts their attribute 9 into hours.
bool CountsPowerOnInMinutesOrSeconds(const char* model);

// Raw value after width masking ("short": low 16 bits) and the power-on unit
// conversion (Maxtor counts minutes, Fujitsu seconds).
std::int64_t AdjustRaw(std::int64_t raw, const char* sizeText, const char* model, int id);

// 1.0, 2.53 (Maxtor), 1.2 (Hitachi attribute 3) or 2.0 (attribute 199), in
// single precision, as the scaling has always been computed, so that a
// report shows the same numbers it always did.
float ScaleFactorFor(const char* model, int id);

// value / factor computed in double precision, truncated toward zero.
int ScaleValue(int value, float factor);
