#pragma once

#include "report/drive_report.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

enum class WarningLevel { Warning = 1, Failing = 2 };

// What a warning is about; with the drive and the attribute id it names one
// warning across runs (a notifier tells it once until its value changes).
enum class WarningKind {
    BelowThreshold, // a red row: the current value lies below the threshold
    Verdict,        // the drive's own verdict is FAILED
    Counter,        // a critical counter above zero (or rising)
    Temperature,    // at or above the temperature limit
    // The drive's own self-test failed. Kinds are only ever appended.
    SelfTest,
};

struct DriveWarning {
    WarningLevel level = WarningLevel::Warning;
    WarningKind kind = WarningKind::Counter;
    int attributeId = 0;
    // The figure the warning is about: the current value (BelowThreshold),
    // the raw count (Counter), degrees (Temperature), 0 (Verdict), the first
    // failing LBA or -1 when the drive names none (SelfTest).
    std::int64_t value = 0;
    // Counter: the raw count before the last change, when the history knows it.
    std::optional<std::int64_t> previous;
    std::string text; // Japanese, naming drive, attribute and from → to
};

struct WarningSettings {
    int temperatureLimit = 60; // °C
};

// Counters whose every count is a sector or an error the drive could not
// hide: reallocated sectors (5, and a SAS drive's grown defects), reported
// uncorrectable (187, and an NVMe drive's media errors), reallocation events
// (196), pending (197), offline uncorrectable (198).
bool IsCriticalCounter(int attributeId);

// The raw count of attribute id before it became current, from the drive's
// history; nullopt when the history does not know it.
using PreviousRaw = std::function<std::optional<std::int64_t>(int id, std::int64_t current)>;

// Every warning for one drive, failing ones first, then by attribute id.
// drive: as the viewer shows it; identity names it in the texts.
std::vector<DriveWarning> EvaluateWarnings(const DriveReport& drive, const DriveIdentity& identity,
                                           const PreviousRaw& previous,
                                           const WarningSettings& settings);

// The highest level among warnings; nullopt when there is none.
std::optional<WarningLevel> HighestLevel(const std::vector<DriveWarning>& warnings);
