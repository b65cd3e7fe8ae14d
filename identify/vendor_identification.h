#pragma once

#include <cstddef>

// Size of the series buffer that IdentifyVendor fills; a series has at most 63 bytes.
constexpr std::size_t kSeriesBufferSize = 64;

// The maker's name for a model text (a constant text, never null) and, where
// it can be told, the model series in series (kSeriesBufferSize bytes, zeroed
// first; left empty when no series is known).
const char* IdentifyVendor(const char* model, char* series);

const char* IdentifyHitachiSeries(const char* model, char* series);
const char* IdentifyMaxtorSeries(const char* model, char* series);
// Seagate: the series that vendor_table.ini lists for the whole model text.
const char* LookupModelTable(const char* model, char* series);
