#include "report/model_rules.h"

#include "config/ascii_case.h"

#include <cmath>
#include <cstring>

namespace {

bool IsMaxtor(const char* model) {
    return AsciiStartsWithNoCase(model, "Maxtor ");
}

bool IsFujitsu(const char* model) {
    return AsciiStartsWithNoCase(model, "FUJITSU ");
}

bool IsHitachi(const char* model) {
    return AsciiStartsWithNoCase(model, "HDS") || AsciiStartsWithNoCase(model, "HDT") ||
           AsciiStartsWithNoCase(model, "Hitachi ");
}

} // namespace

bool CountsPowerOnInMinutesOrSeconds(const char* model) {
    return IsMaxtor(model) || IsFujitsu(model);
}

std::int64_t AdjustRaw(std::int64_t raw, const char* sizeText, const char* model, int id) {
    if (std::strcmp(sizeText, "short") == 0) {
        raw &= 0xFFFF;
    }
    if (id == 9) {
        // These makers count power-on time in minutes and seconds.
        if (IsMaxtor(model)) {
            raw /= 60;
        } else if (IsFujitsu(model)) {
            raw /= 3600;
        }
    }
    return raw;
}

float ScaleFactorFor(const char* model, int id) {
    float factor = 1.0f;
    if (IsMaxtor(model)) {
        factor = 2.53f;
    } else if (IsHitachi(model) && id == 3) {
        factor = 1.2f;
    }
    if (id == 199) {
        factor = 2.0f;
    }
    return factor;
}

int ScaleValue(int value, float factor) {
    // Divided in double precision by the single-precision factor, as the
    // values have always been scaled: 1.2f is slightly above 1.2, so 120
    // gives 99. The quotient's magnitude never exceeds the value's.
    return static_cast<int>(std::trunc(static_cast<double>(value) / static_cast<double>(factor)));
}
