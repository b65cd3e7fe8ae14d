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
    Vanished,       // read lately, but no report of it now
    ReportError,    // its report is malformed or cannot be read
    // The drive's own self-test failed. Kinds are only ever appended.
    SelfTest,
    // The last extended self-test is older than the limit while the schedule is on.
    ExtendedTestAge,
};

struct DriveWarning {
    WarningLevel level = WarningLevel::Warning;
    WarningKind kind = WarningKind::Counter;
    int attributeId = 0;
    // The figure the warning is about: the current value (BelowThreshold),
    // the raw count (Counter), degrees (Temperature), 0 (Verdict), the first
    // failing LBA or -1 when the drive names none (SelfTest), the power-on
    // hour of the last extended test (ExtendedTestAge), so that it is told
    // once per test, not once per day it ages.
    std::int64_t value = 0;
    // Counter: the raw count before the last change, when the history knows it.
    std::optional<std::int64_t> previous;
    std::string text; // in the user's language (MonitorText), naming drive, attribute, from → to
};

struct WarningSettings {
    int temperatureLimit = 60; // °C
    // Power-on days since the last extended self-test after which a drive
    // whose scheduled tests are enabled warns.
    int extendedTestAgeDays = 60;
};

// Counters whose every count is a sector or an error the drive could not
// hide: reallocated sectors (5, and a SAS drive's grown defects), reported
// uncorrectable (187, and an NVMe drive's media errors), reallocation events
// (196), pending (197), offline uncorrectable (198).
bool IsCriticalCounter(int attributeId);

// The raw count of attribute id before it became current, from the drive's
// history; nullopt when the history does not know it.
using PreviousRaw = std::function<std::optional<std::int64_t>(int id, std::int64_t current)>;

// A critical counter's warning: "from → to" when previous is below the
// current raw count, else the count alone (a falling counter never grew).
DriveWarning CounterWarning(const DriveIdentity& identity, const AttributeRow& row,
                            std::optional<std::int64_t> previous);

// A drive the history read at lastSeen (seconds since 1970) that has no
// report now; value is lastSeen, which stays the same however long it is
// missed, so that it is told once.
DriveWarning VanishedWarning(const DriveIdentity& identity, std::int64_t lastSeen);

// A report that is malformed (or cannot be read): the drive's state cannot
// be told. value is the malformed attribute id, 0 when unreadable.
DriveWarning ReportErrorWarning(const DriveIdentity& identity, const std::string& report,
                                int attributeId);

// The newest reading is age seconds old, more than maxAge.
std::string StaleText(std::int64_t age, std::int64_t maxAge);

// "MODEL (SERIAL)", or the model alone without a serial number.
std::string DriveName(const DriveIdentity& identity);

// Every warning for one drive, failing ones first, then by attribute id.
// drive: as the viewer shows it; identity names it in the texts.
std::vector<DriveWarning> EvaluateWarnings(const DriveReport& drive, const DriveIdentity& identity,
                                           const PreviousRaw& previous,
                                           const WarningSettings& settings);

// The highest level among warnings; nullopt when there is none.
std::optional<WarningLevel> HighestLevel(const std::vector<DriveWarning>& warnings);
