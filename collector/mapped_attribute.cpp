#include "collector/mapped_attribute.h"

#include <algorithm>
#include <limits>

bool HasAttribute(const std::vector<AttributeReading>& attributes, int id) {
    return std::any_of(attributes.begin(), attributes.end(),
                       [id](const AttributeReading& a) { return a.id == id; });
}

void AppendMappedAttribute(std::vector<AttributeReading>& attributes, int id, std::int32_t current,
                           std::int32_t threshold, std::int64_t raw) {
    if (HasAttribute(attributes, id)) {
        return;
    }
    AttributeReading attribute;
    attribute.id = id;
    attribute.current = current;
    attribute.worst = current;
    attribute.threshold = threshold;
    attribute.raw = raw;
    attributes.push_back(attribute);
}

void AppendWearAttribute(std::vector<AttributeReading>& attributes, int id,
                         std::uint64_t percentageUsed) {
    const auto remaining =
        static_cast<std::int32_t>(100 - std::min<std::uint64_t>(percentageUsed, 100));
    AppendMappedAttribute(attributes, id, remaining, 0, SaturatedRaw(percentageUsed));
}

std::int64_t SaturatedRaw(std::uint64_t value) {
    constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    return static_cast<std::int64_t>(std::min(value, kMax));
}

std::int32_t SaturatedInt32(std::uint64_t value) {
    constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max());
    return static_cast<std::int32_t>(std::min(value, kMax));
}
