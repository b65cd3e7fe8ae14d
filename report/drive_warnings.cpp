#include "report/drive_warnings.h"

#include "platform/local_time.h"
#include "report/format_grouped.h"
#include "report/monitor_text.h"

#include <algorithm>

namespace {

// "attribute 197" in English; the Japanese adds the attribute table's name.
std::string AttributeName(const AttributeRow& row) {
    return MonitorText("attribute {1}", {row.columns[0], row.columns[1]});
}

DriveWarning BelowThreshold(const std::string& drive, const AttributeRow& row) {
    DriveWarning warning;
    warning.level = WarningLevel::Failing;
    warning.kind = WarningKind::BelowThreshold;
    warning.attributeId = row.id;
    warning.value = row.reading.current;
    // The verdict's row is the drive's own judgement, not a measurement.
    warning.text =
        row.id == kVerdictId
            ? MonitorText("{1}: the drive's own verdict is FAILED", {drive})
            : MonitorText("{1}: {2} fell below its threshold (value {3}, threshold {4})",
                          {drive, AttributeName(row), std::to_string(row.reading.current),
                           std::to_string(row.reading.threshold)});
    return warning;
}

std::string Duration(std::int64_t seconds) {
    const std::int64_t minutes = seconds / 60;
    if (seconds < 120) {
        return MonitorText("{1} s", {std::to_string(seconds)});
    }
    if (minutes < 60) {
        return MonitorText("{1} min", {std::to_string(minutes)});
    }
    if (minutes < 48 * 60) {
        return MonitorText("{1} h {2} min",
                           {std::to_string(minutes / 60), std::to_string(minutes % 60)});
    }
    return MonitorText("{1} d {2} h",
                       {std::to_string(minutes / (24 * 60)), std::to_string(minutes / 60 % 24)});
}

} // namespace

std::string DriveName(const DriveIdentity& identity) {
    return identity.serial.empty() ? identity.model : identity.model + " (" + identity.serial + ")";
}

DriveWarning CounterWarning(const DriveIdentity& identity, const AttributeRow& row,
                            std::optional<std::int64_t> previous) {
    const std::string drive = DriveName(identity);
    DriveWarning warning;
    warning.kind = WarningKind::Counter;
    warning.attributeId = row.id;
    warning.value = row.reading.raw;
    if (previous && *previous < row.reading.raw) {
        warning.previous = previous;
        warning.text = MonitorText(
            "{1}: {2} grew from {3} to {4}",
            {drive, AttributeName(row), FormatGrouped(*previous), FormatGrouped(row.reading.raw)});
    } else {
        warning.text = MonitorText("{1}: {2} is {3}",
                                   {drive, AttributeName(row), FormatGrouped(row.reading.raw)});
    }
    return warning;
}

DriveWarning VanishedWarning(const DriveIdentity& identity, std::int64_t lastSeen) {
    DriveWarning warning;
    warning.kind = WarningKind::Vanished;
    warning.value = lastSeen;
    warning.text = MonitorText("{1}: not read since {2} (no report)",
                               {DriveName(identity), FormatLocalTime(lastSeen, "%Y-%m-%d %H:%M")});
    return warning;
}

DriveWarning ReportErrorWarning(const DriveIdentity& identity, const std::string& report,
                                int attributeId) {
    DriveWarning warning;
    warning.kind = WarningKind::ReportError;
    warning.attributeId = attributeId;
    const std::string drive = identity.model.empty() && identity.serial.empty()
                                  ? report
                                  : DriveName(identity) + " [" + report + "]";
    warning.text = attributeId > 0 ? MonitorText("{1}: malformed report (ATTR_{2})",
                                                 {drive, std::to_string(attributeId)})
                                   : MonitorText("{1}: the report cannot be read", {drive});
    return warning;
}

std::string StaleText(std::int64_t age, std::int64_t maxAge) {
    return MonitorText("the newest reading is {1} old (limit {2})",
                       {Duration(age), Duration(maxAge)});
}

namespace {

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
    std::string detail = failure->text.empty()
                             ? MonitorText("result {1}", {std::to_string(failure->code)})
                             : failure->text;
    if (failure->lba) {
        detail += MonitorText(", first failing LBA {1}", {std::to_string(*failure->lba)});
    }
    if (failure->hours) {
        detail += MonitorText(", at {1} power-on hours", {std::to_string(*failure->hours)});
    }
    warning.text = failure->type == kSelfTestShort
                       ? MonitorText("{1}: the short self-test failed ({2})", {drive, detail})
                   : failure->type == kSelfTestExtended
                       ? MonitorText("{1}: the extended self-test failed ({2})", {drive, detail})
                       : MonitorText("{1}: the self-test failed ({2})", {drive, detail});
    return warning;
}

// The schedule is on, yet the drive's last extended test lies further back in
// its power-on time than the limit: the schedule is not reaching it.
std::optional<DriveWarning> ExtendedTestAge(const std::string& drive, const DriveReport& report,
                                            int limitDays) {
    const SelfTestState& state = report.selfTest;
    const auto last = LastExtendedSelfTest(state);
    const auto hours =
        std::find_if(report.evaluation.rows.begin(), report.evaluation.rows.end(),
                     [](const AttributeRow& row) { return row.id == kPowerOnHoursId; });
    if (!state.scheduleEnabled || !last || hours == report.evaluation.rows.end() ||
        hours->shownRaw < 0) {
        return std::nullopt;
    }
    const auto since = HoursSince(*last, static_cast<std::uint64_t>(hours->shownRaw));
    if (!since || *since < static_cast<std::uint64_t>(limitDays) * 24) {
        return std::nullopt;
    }
    DriveWarning warning;
    warning.kind = WarningKind::ExtendedTestAge;
    warning.value = static_cast<std::int64_t>(*last->hours);
    warning.text = MonitorText(
        "{1}: the last extended self-test was {2} days of power-on time ago (limit {3} days)",
        {drive, std::to_string(*since / 24), std::to_string(limitDays)});
    return warning;
}

} // namespace

bool IsCriticalCounter(int attributeId) {
    return attributeId == kReallocatedSectorsId || attributeId == kReportedUncorrectId ||
           attributeId == kReallocationEventsId || attributeId == kPendingSectorsId ||
           attributeId == kOfflineUncorrectableId;
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
            warnings.push_back(CounterWarning(
                identity, row, previous ? previous(row.id, row.reading.raw) : std::nullopt));
        }
        if (row.id == kTemperatureId && row.shownRaw >= settings.temperatureLimit) {
            DriveWarning warning;
            warning.kind = WarningKind::Temperature;
            warning.attributeId = row.id;
            warning.value = row.shownRaw;
            warning.text = MonitorText(
                "{1}: temperature {2} C (limit {3} C)",
                {name, std::to_string(row.shownRaw), std::to_string(settings.temperatureLimit)});
            warnings.push_back(warning);
        }
    }
    // A report without the verdict row still carries the verdict itself.
    if (drive.panel.verdict == kVerdictFailed && !verdictRowFails) {
        DriveWarning warning;
        warning.level = WarningLevel::Failing;
        warning.kind = WarningKind::Verdict;
        warning.attributeId = kVerdictId;
        warning.text = MonitorText("{1}: the drive's own verdict is FAILED", {name});
        warnings.push_back(warning);
    }
    if (auto selfTest = SelfTestFailure(name, drive.selfTest)) {
        warnings.push_back(std::move(*selfTest));
    }
    if (auto age = ExtendedTestAge(name, drive, settings.extendedTestAgeDays)) {
        warnings.push_back(std::move(*age));
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
