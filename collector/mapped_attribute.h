#pragma once

#include "collector/smart_report.h"

#include <cstdint>
#include <vector>

// Health data of drives without ATA attributes (NVMe, SCSI/SAS) and the
// drive's own verdict are shown under attribute ids whose descriptions fit.

bool HasAttribute(const std::vector<AttributeReading>& attributes, int id);

// Appends id with current and worst both current, unless id is already there:
// an attribute the drive itself reports wins over a mapped one.
void AppendMappedAttribute(std::vector<AttributeReading>& attributes, int id, std::int32_t current,
                           std::int32_t threshold, std::int64_t raw);

// The wear indicator under id: its value what remains of the rated
// endurance (100 less the percentage used, never below 0), its raw value the
// percentage used as the drive gives it (over 100 once the rating is passed).
void AppendWearAttribute(std::vector<AttributeReading>& attributes, int id,
                         std::uint64_t percentageUsed);

// A counter as a raw field: held at the signed 64-bit end rather than wrapped.
std::int64_t SaturatedRaw(std::uint64_t value);
// A figure the report holds in 32 bits: held at the signed 32-bit end.
std::int32_t SaturatedInt32(std::uint64_t value);
