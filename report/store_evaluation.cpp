#include "report/store_evaluation.h"

#include "config/ascii_case.h"
#include "config/ini_store.h"

#include <array>
#include <string_view>
#include <vector>

namespace {

constexpr std::size_t kIdCount = kLastAttributeId - kFirstAttributeId + 1;

// The evaluation's key paths with their lookup names, worked out once.
struct StoreKeys {
    std::vector<CIniStore::Key> table[3];
    CIniStore::Key model{kModelKey.Path().c_str()};

    StoreKeys() {
        for (int id = kFirstAttributeId; id <= kLastAttributeId; ++id) {
            for (const AttributeTableField field :
                 {AttributeTableField::kName, AttributeTableField::kUnit,
                  AttributeTableField::kSize}) {
                table[static_cast<std::size_t>(field)].emplace_back(
                    AttributeTableKeyPath(field, id));
            }
        }
    }
};

std::size_t IndexOf(int id) {
    return static_cast<std::size_t>(id - kFirstAttributeId);
}

// The id of a [SMARTS] key name that the key path "SMARTS::ATTR_<id>"
// reads: the prefix in any ASCII case and the id in decimal without leading
// zeros; 0 for any other name.
int AttributeIdOfKey(std::string_view key) {
    constexpr std::string_view prefix = kAttributeKeyPrefix;
    if (key.size() <= prefix.size() || key.size() > prefix.size() + 3 ||
        key[prefix.size()] == '0') {
        return 0;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (AsciiToLower(key[i]) != AsciiToLower(prefix[i])) {
            return 0;
        }
    }
    int id = 0;
    for (const char c : key.substr(prefix.size())) {
        if (c < '0' || c > '9') {
            return 0;
        }
        id = id * 10 + (c - '0');
    }
    return id >= kFirstAttributeId && id <= kLastAttributeId ? id : 0;
}

} // namespace

ReportEvaluation EvaluateReportStores(CIniStore& report, CIniStore& table) {
    static const StoreKeys keys;
    // The report's attribute lines, found by going through its [SMARTS] keys
    // once rather than asking for all 255 ids, most of which are absent. The
    // stores' texts stay in place until they are opened again.
    std::array<const char*, kIdCount> lines{};
    report.ForEachKeyIn(kAttributeSection, [&lines](std::string_view key, const char* text) {
        if (const int id = AttributeIdOfKey(key)) {
            lines[IndexOf(id)] = text;
        }
    });
    return EvaluateReportTexts(
        [&lines](int id) {
            const char* line = lines[IndexOf(id)];
            return line != nullptr ? line : "";
        },
        [&report] { return report.GetString(keys.model, ""); },
        [&table](AttributeTableField field, int id) {
            return table.GetString(keys.table[static_cast<std::size_t>(field)][IndexOf(id)], "");
        });
}
