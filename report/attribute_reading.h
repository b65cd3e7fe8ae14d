#pragma once

#include "report/report_format.h"

#include <string>

// ATTR_TABLE::NAME_<id>, UNIT_<id> and SIZE_<id> of attr_table.ini; empty when absent.
struct AttributeTableEntry {
    std::string description;
    std::string unit;
    std::string size;
};

// Splits and converts one non-empty attribute value. False when it does not
// hold exactly kAttributeFieldCount non-empty fields; out is then not to be used.
bool ParseAttributeLine(const char* value, AttributeReading& out);
