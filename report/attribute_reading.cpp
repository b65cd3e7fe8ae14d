#include "report/attribute_reading.h"

#include "config/decimal.h"

#include <string>

Result<AttributeReading> ParseAttributeLine(const char* value) {
    // The starts of the non-empty comma-separated fields, found in place: the
    // viewer reads every line of every report this way. Each number ends at
    // its field's comma, as a decimal number stops at any other character.
    const char* fields[kAttributeFieldCount];
    int count = 0;
    for (const char* field = value; *field != '\0';) {
        if (*field == ',') {
            ++field;
            continue;
        }
        if (count == kAttributeFieldCount) {
            count = kAttributeFieldCount + 1;
            break;
        }
        fields[count++] = field;
        while (*field != '\0' && *field != ',') {
            ++field;
        }
    }
    if (count != kAttributeFieldCount) {
        return Failure{"not " + std::to_string(kAttributeFieldCount) + " non-empty fields"};
    }
    AttributeReading out;
    out.current = ParseDecimalInt(fields[0]);
    out.worst = ParseDecimalInt(fields[1]);
    out.threshold = ParseDecimalInt(fields[2]);
    out.raw = ParseDecimalInt64(fields[3]);
    // Only the low 16 bits are kept, read as unsigned: 70000 gives 4464, -1 gives 65535.
    out.auxiliary = static_cast<std::uint16_t>(static_cast<unsigned>(ParseDecimalInt(fields[4])));
    return out;
}
