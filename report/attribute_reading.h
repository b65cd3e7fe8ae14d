#pragma once

#include "platform/result.h"
#include "report/report_format.h"

#include <string>

// ATTR_TABLE::NAME_<id>, UNIT_<id> and SIZE_<id> of attr_table.ini; empty when absent.
struct AttributeTableEntry {
    std::string description;
    std::string unit;
    std::string size;
};

// Splits and converts one non-empty attribute value (the id is left 0). A
// Failure when it does not hold exactly kAttributeFieldCount non-empty fields.
[[nodiscard]] Result<AttributeReading> ParseAttributeLine(const char* value);
