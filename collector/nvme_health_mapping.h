#pragma once

#include "collector/smart_report.h"

#include <nlohmann/json.hpp>
#include <vector>

// NVMe drives have no ATA attributes. Their health log is shown under the ATA
// ids whose descriptions fit it (collector/README.md lists the table):
//   9 power_on_hours, 12 power_cycles, 187 media_errors, 192 unsafe_shutdowns,
//   194 temperature: current 100, worst 100, threshold 0, the count as raw;
//   232 available_spare: current and worst the spare, threshold
//       available_spare_threshold (so a spare below it ranks as failing);
//   233 percentage_used: current and worst 100 - percentage_used (0 at 100 %
//       and above), threshold 0, percentage_used as raw.
// The critical warning goes into the drive's verdict (AppendDriveVerdict).
// Raw values above the signed 64-bit range are held at its end rather than
// wrapped, so a counter never looks small. An entry that is missing or not a
// whole number gives no attribute; so does a spare without its threshold, and
// a temperature below 0 degrees Celsius (the viewer keeps 16 bits of it).
// Ids already present in attributes are left alone.
void AppendNvmeHealthAttributes(const nlohmann::json& healthLog,
                                std::vector<AttributeReading>& attributes);
