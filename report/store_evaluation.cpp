#include "report/store_evaluation.h"

#include "config/ini_store.h"

#include <vector>

namespace {

constexpr std::size_t kIdCount = kLastAttributeId - kFirstAttributeId + 1;

// The evaluation's key paths with their lookup names, worked out once.
struct StoreKeys {
    std::vector<CIniStore::Key> attributes;
    std::vector<CIniStore::Key> table[3];
    CIniStore::Key model{kModelKey.Path().c_str()};

    StoreKeys() {
        attributes.reserve(kIdCount);
        for (int id = kFirstAttributeId; id <= kLastAttributeId; ++id) {
            attributes.emplace_back(AttributeKeyPath(id));
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

} // namespace

ReportEvaluation EvaluateReportStores(CIniStore& report, CIniStore& table) {
    static const StoreKeys keys;
    // The stores' texts stay in place until they are opened again.
    return EvaluateReportTexts(
        [&report](int id) { return report.GetString(keys.attributes[IndexOf(id)], ""); },
        [&report] { return report.GetString(keys.model, ""); },
        [&table](AttributeTableField field, int id) {
            return table.GetString(keys.table[static_cast<std::size_t>(field)][IndexOf(id)], "");
        });
}
