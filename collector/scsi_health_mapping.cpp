#include "collector/scsi_health_mapping.h"

#include "collector/json_access.h"
#include "collector/mapped_attribute.h"

#include <cstdint>
#include <initializer_list>

namespace {

struct CounterMapping {
    std::initializer_list<const char*> path;
    int id;
};

// Counters that never fail by themselves. The uncorrected error counts get
// ids no ATA drive uses, so that their descriptions can say exactly what
// they count.
const CounterMapping kCounters[] = {
    {{"scsi_start_stop_cycle_counter", "accumulated_start_stop_cycles"}, kStartStopCountId},
    {{"scsi_grown_defect_list"}, kReallocatedSectorsId},
    {{"power_on_time", "hours"}, kPowerOnHoursId},
    {{"scsi_error_counter_log", "read", "total_uncorrected_errors"}, kUncorrectedReadsId},
    {{"scsi_error_counter_log", "write", "total_uncorrected_errors"}, kUncorrectedWritesId},
    {{"scsi_error_counter_log", "verify", "total_uncorrected_errors"}, kUncorrectedVerifiesId},
    {{"scsi_start_stop_cycle_counter", "accumulated_load_unload_cycles"}, kLoadCyclesId},
};

const nlohmann::json* Find(const nlohmann::json& capture, std::initializer_list<const char*> path) {
    const nlohmann::json* value = &capture;
    for (const char* key : path) {
        value = JsonMember(value, key);
    }
    return value;
}

} // namespace

void AppendScsiHealthAttributes(const nlohmann::json& capture,
                                std::vector<AttributeReading>& attributes) {
    for (const CounterMapping& counter : kCounters) {
        if (const auto value = JsonUnsigned(Find(capture, counter.path))) {
            AppendMappedAttribute(attributes, counter.id, 100, 0, SaturatedRaw(*value));
        }
    }
    if (const auto used =
            JsonUnsigned(JsonMember(&capture, "scsi_percentage_used_endurance_indicator"))) {
        AppendWearAttribute(attributes, kPercentageUsedId, *used);
    }
}
