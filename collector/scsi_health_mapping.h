#pragma once

#include "collector/smart_report.h"

#include <nlohmann/json.hpp>
#include <vector>

// SCSI and SAS drives have no ATA attributes. What smartctl reads from their
// log pages is shown under ATA ids whose descriptions fit it, and under three
// ids of their own (collector/README.md lists the table):
//   4 scsi_start_stop_cycle_counter.accumulated_start_stop_cycles
//   5 scsi_grown_defect_list (blocks the drive has taken out of use)
//   9 power_on_time.hours
//  19, 20, 21 scsi_error_counter_log read, write and verify
//       .total_uncorrected_errors
//  193 scsi_start_stop_cycle_counter.accumulated_load_unload_cycles
//  233 scsi_percentage_used_endurance_indicator: current and worst
//       100 - used (0 from 100 % on), threshold 0, used as raw
// The others: current and worst 100, threshold 0, the count as raw, held at
// the signed 64-bit end. A missing entry, or one that is not a whole number
// from 0 up, gives no attribute. Ids already present are left alone.
void AppendScsiHealthAttributes(const nlohmann::json& capture,
                                std::vector<AttributeReading>& attributes);
