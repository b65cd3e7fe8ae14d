#include "collector/json_access.h"

#include <cstdint>

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
    // An unsigned number may lie beyond the signed 64-bit range.
    if (value->is_number_unsigned() &&
        value->get<std::uint64_t>() > static_cast<std::uint64_t>(INT32_MAX)) {
        return std::nullopt;
    }
    const auto number = value->get<std::int64_t>();
    if (number < INT32_MIN || number > INT32_MAX) {
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
