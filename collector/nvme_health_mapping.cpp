#include "collector/nvme_health_mapping.h"

#include "collector/json_access.h"
#include "collector/mapped_attribute.h"

#include <cstdint>

namespace {

struct CounterMapping {
    const char* key;
    int id;
};

// Counters and readings that never fail by themselves.
constexpr CounterMapping kCounters[] = {
    {"power_on_hours", kPowerOnHoursId},
    {"power_cycles", kPowerCyclesId},
    {"media_errors", kReportedUncorrectId},
    {"unsafe_shutdowns", kUnsafeShutdownsId},
};

} // namespace

void AppendNvmeHealthAttributes(const nlohmann::json& healthLog,
                                std::vector<AttributeReading>& attributes) {
    for (const CounterMapping& counter : kCounters) {
        if (const auto value = JsonUnsigned(JsonMember(&healthLog, counter.key))) {
            AppendMappedAttribute(attributes, counter.id, 100, 0, SaturatedRaw(*value));
        }
    }

    // smartctl gives the composite temperature in degrees Celsius. Below zero
    // it gives no line: the viewer keeps the low 16 bits of attribute 194,
    // so -5 would read as 65531 degrees.
    if (const auto temperature = JsonInt32(JsonMember(&healthLog, "temperature"));
        temperature && *temperature >= 0) {
        AppendMappedAttribute(attributes, kTemperatureId, 100, 0, *temperature);
    }

    const auto spare = JsonUnsigned(JsonMember(&healthLog, "available_spare"));
    const auto spareThreshold = JsonUnsigned(JsonMember(&healthLog, "available_spare_threshold"));
    if (spare && spareThreshold) {
        AppendMappedAttribute(attributes, kAvailableSpareId, SaturatedInt32(*spare),
                              SaturatedInt32(*spareThreshold), SaturatedRaw(*spare));
    }

    if (const auto used = JsonUnsigned(JsonMember(&healthLog, "percentage_used"))) {
        AppendWearAttribute(attributes, kPercentageUsedId, *used);
    }
}
