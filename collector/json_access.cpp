#include "collector/json_access.h"

#include <limits>

const nlohmann::json* JsonMember(const nlohmann::json* object, const char* key) {
    if (object == nullptr || !object->is_object()) {
        return nullptr;
    }
    const auto it = object->find(key);
    return it == object->end() ? nullptr : &*it;
}

std::optional<std::uint64_t> JsonUnsigned(const nlohmann::json* value) {
    if (value == nullptr) {
        return std::nullopt;
    }
    if (value->is_number_unsigned()) {
        return value->get<std::uint64_t>();
    }
    if (value->is_number_integer()) {
        const auto number = value->get<std::int64_t>();
        if (number >= 0) {
            return static_cast<std::uint64_t>(number);
        }
    }
    return std::nullopt;
}

std::optional<std::int32_t> JsonInt32(const nlohmann::json* value) {
    if (value == nullptr || !value->is_number_integer()) {
        return std::nullopt;
    }
    if (value->is_number_unsigned()) {
        const auto number = value->get<std::uint64_t>();
        if (number > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
            return std::nullopt;
        }
        return static_cast<std::int32_t>(number);
    }
    const auto number = value->get<std::int64_t>();
    if (number < std::numeric_limits<std::int32_t>::min() ||
        number > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(number);
}

std::string JsonText(const nlohmann::json* value) {
    if (value == nullptr || !value->is_string()) {
        return {};
    }
    return value->get<std::string>();
}
