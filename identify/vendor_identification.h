#pragma once

#include <cstddef>

class CIniFile;

// The Seagate model table, in the program folder.
constexpr const char* kVendorTableFile = "vendor_table.ini";

// Size of the series buffer that IdentifyVendor fills; a series has at most 63 bytes.
constexpr std::size_t kSeriesBufferSize = 64;

// The maker's name for a model text (a constant text, never null) and, where
// it can be told, the model series in series (kSeriesBufferSize bytes, zeroed
// first; left empty when no series is known). modelTable is the loaded
// vendor table (an empty one when it could not be read).
const char* IdentifyVendor(const char* model, char* series, const CIniFile& modelTable);

const char* IdentifyHitachiSeries(const char* model, char* series);
const char* IdentifyMaxtorSeries(const char* model, char* series);
// Seagate: the series that the vendor table lists for the whole model text.
const char* LookupModelTable(const char* model, char* series, const CIniFile& modelTable);
