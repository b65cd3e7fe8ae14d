#include "identify/vendor_identification.h"

#include "config/ascii_case.h"
#include "config/format_bounded.h"
#include "config/ini_file.h"
#include "platform/utf8.h"

#include <cstring>
#include <string_view>

namespace {

void CopySeries(char* series, const char* text) {
    const std::size_t length = Utf8PrefixLength(text, std::strlen(text), kSeriesBufferSize - 1);
    std::memcpy(series, text, length);
    series[length] = '\0';
}

bool StartsWithAny(const char* text, std::initializer_list<std::string_view> prefixes) {
    for (std::string_view prefix : prefixes) {
        if (AsciiStartsWithNoCase(text, prefix)) {
            return true;
        }
    }
    return false;
}

struct MaxtorCode {
    const char* code; // compared case-sensitively over its own length (1 or 2)
    const char* series;
};

// First match wins, so the one-character codes come after the two-character
// codes that share their first digit.
constexpr MaxtorCode kMaxtorCodes[] = {
    {"6E", "DiamondMax Plus 8, 7200rpm, 2MB"},
    {"6K", "DiamondMax Plus 8, 7200rpm, 2MB"},
    {"6Y", "DiamondMax Plus 9"},
    {"6B", "DiamondMax 10"},
    {"6V", "DiamondMax 10"},
    {"6L", "DiamondMax 10"},
    {"6H", "DiamondMax 11, 7200rpm"},
    {"4R", "DiamondMax 16, 5400rpm, 2MB"},
    {"4A", "DiamondMax 16, 5400rpm, 2MB"},
    {"6G", "DiamondMax 17, 7200rpm"},
    {"7B", "MaXLine III, 7200rpm, 16MB"},
    {"7V", "MaXLine III, 7200rpm, 16MB"},
    {"7L", "MaXLine III, 7200rpm, 16MB"},
    {"7H", "MaXLine Pro 500, 7200rpm, 16MB"},
    {"7", "MaXLine Series"},
    {"8C", "Atlas 15K"},
    {"8E", "Atlas 15K II"},
    {"8K", "Atlas 15K II"},
    {"8", "Atlas Series"},
};

} // namespace

const char* IdentifyHitachiSeries(const char* model, char* series) {
    if (AsciiStartsWithNoCase(model, "HDS7")) {
        CopySeries(series, "Deskstar 7K Series");
    } else if (AsciiStartsWithNoCase(model, "HDT7")) {
        CopySeries(series, "Deskstar T7K Series");
    } else if (StartsWithAny(model, {"HTS", "HTC", "HTE", "DK23", "IC25", "DJSA-", "DARA-", "DCYA-",
                                     "DCXA-", "DYLA-", "D"})) {
        CopySeries(series, "Travelstar Series");
    }
    return series;
}

const char* IdentifyMaxtorSeries(const char* model, char* series) {
    const char* code = model + std::strlen("Maxtor ");
    for (const MaxtorCode& rule : kMaxtorCodes) {
        if (std::strncmp(code, rule.code, std::strlen(rule.code)) == 0) {
            CopySeries(series, rule.series);
            break;
        }
    }
    return "MAXTOR";
}

const char* LookupModelTable(const char* model, char* series, const CIniFile& modelTable) {
    series[0] = '\0';
    if (const std::string* value = modelTable.Find("MODEL_TABLE", model)) {
        CopySeries(series, value->c_str());
    }
    return series;
}

const char* IdentifyVendor(const char* model, char* series, const CIniFile& modelTable) {
    std::memset(series, 0, kSeriesBufferSize);
    if (AsciiStartsWithNoCase(model, "Maxtor ")) {
        return IdentifyMaxtorSeries(model, series);
    }
    if (AsciiStartsWithNoCase(model, "ST")) {
        LookupModelTable(model, series, modelTable);
        return "Seagate";
    }
    if (AsciiStartsWithNoCase(model, "WD")) {
        return "Western Digital";
    }
    if (AsciiStartsWithNoCase(model, "TOSHIBA ")) {
        return "TOSHIBA";
    }
    if (AsciiStartsWithNoCase(model, "Hitachi ")) {
        IdentifyHitachiSeries(model + std::strlen("Hitachi "), series);
        return "Hitachi";
    }
    if (AsciiStartsWithNoCase(model, "SAMSUNG ")) {
        return "SAMSUNG";
    }
    if (AsciiStartsWithNoCase(model, "FUJITSU ")) {
        return "FUJITSU";
    }
    if (StartsWithAny(model, {"IC", "HDT", "HDS"})) {
        IdentifyHitachiSeries(model, series);
        return "HGST (Hitachi Globa ...";
    }
    return "Unknown Vendor";
}
