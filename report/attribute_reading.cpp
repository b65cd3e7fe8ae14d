#include "report/attribute_reading.h"

#include "config/decimal.h"
#include "config/split_fields.h"

#include <vector>

Result<AttributeReading> ParseAttributeLine(const char* value) {
    std::vector<std::string> fields;
    if (SplitFields(value, ",", fields, SPLIT_SKIP_EMPTY) != kAttributeFieldCount) {
        return Failure{"not " + std::to_string(kAttributeFieldCount) + " non-empty fields"};
    }
    AttributeReading out;
    out.current = ParseDecimalInt(fields[0].c_str());
    out.worst = ParseDecimalInt(fields[1].c_str());
    out.threshold = ParseDecimalInt(fields[2].c_str());
    out.raw = ParseDecimalInt64(fields[3].c_str());
    // Only the low 16 bits are kept, read as unsigned: 70000 gives 4464, -1 gives 65535.
    out.auxiliary =
        static_cast<std::uint16_t>(static_cast<unsigned>(ParseDecimalInt(fields[4].c_str())));
    return out;
}
