#pragma once

#include <cstdint>
#include <string>

// One attribute line of a report: SMARTS::ATTR_<id>=current,worst,threshold,raw,aux
struct AttributeReading {
    int id = 0;
    int current = 0;
    int worst = 0;
    int threshold = 0;
    // Signed 64-bit: counters such as the total written sectors pass 2^32.
    std::int64_t raw = 0;
    std::uint16_t auxiliary = 0;
};

// ATTR_TABLE::NAME_<id>, UNIT_<id> and SIZE_<id> of attr_table.ini; empty when absent.
struct AttributeTableEntry {
    std::string description;
    std::string unit;
    std::string size;
};

// Splits and converts one non-empty attribute value. False when it does not
// hold exactly five non-empty fields; out is then not to be used.
bool ParseAttributeLine(const char* value, AttributeReading& out);
