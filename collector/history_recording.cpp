#include "collector/history_recording.h"

#include "history/history_store.h"

#include <algorithm>
#include <cstdint>
#include <map>

namespace {

// The history's integers are signed; no drive counts that far.
std::optional<std::int64_t> Signed(const std::optional<std::uint64_t>& value) {
    if (!value || *value > static_cast<std::uint64_t>(INT64_MAX)) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(*value);
}

DriveReading ToDriveReading(const SmartReport& report) {
    DriveReading reading;
    reading.drive = {report.model, report.serialNumber};
    reading.attributes = report.attributes;
    if (report.selfTest) {
        for (const SelfTestEntry& entry : report.selfTest->entries) {
            reading.selfTests.push_back({entry.type, SelfTestOutcomeWord(entry.outcome), entry.code,
                                         Signed(entry.hours), Signed(entry.lba), entry.text});
        }
    }
    return reading;
}

} // namespace

Result<void> RecordHistory(const std::string& folder,
                           const std::vector<std::pair<std::int64_t, SmartReport>>& written) {
    std::map<std::int64_t, std::vector<DriveReading>> runs;
    for (const auto& [time, report] : written) {
        runs[time].push_back(ToDriveReading(report));
    }
    if (runs.empty()) {
        return {};
    }
    CHistoryStore store;
    Result<void> recorded =
        store.Open(folder + "/" + kHistoryFileName, CHistoryStore::Access::Write);
    for (auto run = runs.begin(); recorded && run != runs.end(); ++run) {
        recorded = store.RecordRun(run->first, run->second);
    }
    if (!recorded) {
        return Failure{recorded.Problem() + "; the reports are written, the history is not"};
    }
    return {};
}
