#include "report/drive_warnings.h"

#include "report/format_grouped.h"

#include <algorithm>

namespace {

constexpr int kTemperatureId = 194;
constexpr int kVerdictId = 255;

std::string DriveName(const DriveIdentity& identity) {
    return identity.serial.empty() ? identity.model : identity.model + " (" + identity.serial + ")";
}

std::string AttributeName(const AttributeRow& row) {
    return row.columns[0] + " " + row.columns[1];
}

DriveWarning BelowThreshold(const std::string& drive, const AttributeRow& row) {
    DriveWarning warning;
    warning.level = WarningLevel::Failing;
    warning.kind = WarningKind::BelowThreshold;
    warning.attributeId = row.id;
    warning.value = row.reading.current;
    // The verdict's row is the drive's own judgement, not a measurement.
    warning.text = row.id == kVerdictId
                       ? drive + ": ドライブ自身の判定が FAILED です"
                       : drive + ": " + AttributeName(row) + " が危険値を下回りました（値 " +
                             std::to_string(row.reading.current) + "、危険値 " +
                             std::to_string(row.reading.threshold) + "）";
    return warning;
}

DriveWarning Counter(const std::string& drive, const AttributeRow& row,
                     std::optional<std::int64_t> previous) {
    DriveWarning warning;
    warning.kind = WarningKind::Counter;
    warning.attributeId = row.id;
    warning.value = row.reading.raw;
    if (previous && *previous < row.reading.raw) {
        warning.previous = previous;
        warning.text = drive + ": " + AttributeName(row) + " が " + FormatGrouped(*previous) +
                       " → " + FormatGrouped(row.reading.raw) + " に増えました";
    } else {
        warning.text =
            drive + ": " + AttributeName(row) + " が " + FormatGrouped(row.reading.raw) + " です";
    }
    return warning;
}

// A failed self-test that no newer extended test has cleared: the drive
// itself found a part of its surface or mechanics it cannot use.
std::optional<DriveWarning> SelfTestFailure(const std::string& drive, const SelfTestState& state) {
    const auto failure = StandingSelfTestFailure(state);
    if (!failure) {
        return std::nullopt;
    }
    DriveWarning warning;
    warning.level = WarningLevel::Failing;
    warning.kind = WarningKind::SelfTest;
    warning.value = failure->lba ? static_cast<std::int64_t>(*failure->lba) : -1;
    const char* test = failure->type == "short"      ? "短時間"
                       : failure->type == "extended" ? "拡張"
                                                     : "";
    warning.text =
        drive + ": " + (*test != '\0' ? std::string(test) + "自己診断" : "自己診断") +
        "に失敗しました（" +
        (failure->text.empty() ? "結果 " + std::to_string(failure->code) : failure->text);
    if (failure->lba) {
        warning.text += "、最初の不良 LBA " + std::to_string(*failure->lba);
    }
    if (failure->hours) {
        warning.text += "、使用時間 " + std::to_string(*failure->hours) + " 時間";
    }
    warning.text += "）";
    return warning;
}

} // namespace

bool IsCriticalCounter(int attributeId) {
    return attributeId == 5 || attributeId == 187 || (attributeId >= 196 && attributeId <= 198);
}

std::vector<DriveWarning> EvaluateWarnings(const DriveReport& drive, const DriveIdentity& identity,
                                           const PreviousRaw& previous,
                                           const WarningSettings& settings) {
    const std::string name = DriveName(identity);
    std::vector<DriveWarning> warnings;
    bool verdictRowFails = false;
    for (const AttributeRow& row : drive.evaluation.rows) {
        if (row.rank == 1) {
            warnings.push_back(BelowThreshold(name, row));
            verdictRowFails = verdictRowFails || row.id == kVerdictId;
        } else if (IsCriticalCounter(row.id) && row.reading.raw > 0) {
            warnings.push_back(
                Counter(name, row, previous ? previous(row.id, row.reading.raw) : std::nullopt));
        }
        if (row.id == kTemperatureId && row.shownRaw >= settings.temperatureLimit) {
            DriveWarning warning;
            warning.kind = WarningKind::Temperature;
            warning.attributeId = row.id;
            warning.value = row.shownRaw;
            warning.text = name + ": 温度が " + std::to_string(row.shownRaw) + " ℃ です（上限 " +
                           std::to_string(settings.temperatureLimit) + " ℃）";
            warnings.push_back(warning);
        }
    }
    // A report without the verdict row still carries the verdict itself.
    if (drive.panel.verdict == "FAILED" && !verdictRowFails) {
        DriveWarning warning;
        warning.level = WarningLevel::Failing;
        warning.kind = WarningKind::Verdict;
        warning.attributeId = kVerdictId;
        warning.text = name + ": ドライブ自身の判定が FAILED です";
        warnings.push_back(warning);
    }
    if (auto selfTest = SelfTestFailure(name, drive.selfTest)) {
        warnings.push_back(std::move(*selfTest));
    }
    std::stable_sort(
        warnings.begin(), warnings.end(),
        [](const DriveWarning& a, const DriveWarning& b) { return a.level > b.level; });
    return warnings;
}

std::optional<WarningLevel> HighestLevel(const std::vector<DriveWarning>& warnings) {
    std::optional<WarningLevel> highest;
    for (const DriveWarning& warning : warnings) {
        if (!highest || warning.level > *highest) {
            highest = warning.level;
        }
    }
    return highest;
}
