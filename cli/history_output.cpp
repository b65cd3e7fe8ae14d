#include "cli/history_output.h"

#include "cli/report_output.h"
#include "platform/local_time.h"
#include "report/format_grouped.h"
#include "report/shown_texts.h"

namespace {

// How one attribute moved over the history.
struct Change {
    const HistoryPoint* first = nullptr;
    const HistoryPoint* lastRawChange = nullptr;
    const HistoryPoint* lastValueChange = nullptr;
    const HistoryPoint* last = nullptr;
};

std::map<int, Change> Changes(const std::vector<HistoryPoint>& points) {
    std::map<int, Change> changes;
    for (const HistoryPoint& point : points) {
        Change& change = changes[point.sample.id];
        if (change.first == nullptr) {
            change.first = &point;
        } else {
            if (point.sample.raw != change.last->sample.raw) {
                change.lastRawChange = &point;
            }
            if (point.sample.current != change.last->sample.current) {
                change.lastValueChange = &point;
            }
        }
        change.last = &point;
    }
    return changes;
}

// The local date of time, "2026-11-30".
std::string LocalDate(std::int64_t time) {
    return FormatLocalTime(time, "%Y-%m-%d");
}

} // namespace

void WriteHistoryJson(std::ostream& out, const DriveIdentity& drive,
                      const std::vector<HistoryPoint>& points) {
    const std::string prefix =
        "{\"model\":" + JsonString(drive.model) + ",\"serial\":" + JsonString(drive.serial);
    for (const HistoryPoint& point : points) {
        const AttributeReading& s = point.sample;
        out << prefix << ",\"time\":" << point.time << ",\"id\":" << s.id
            << ",\"value\":" << s.current << ",\"worst\":" << s.worst
            << ",\"threshold\":" << s.threshold << ",\"raw\":" << s.raw << "}\n";
    }
}

void WriteHistoryText(std::ostream& out, const std::string& shown, const DriveIdentity& drive,
                      const std::vector<HistoryPoint>& points, std::optional<std::int64_t> lastSeen,
                      const std::map<int, std::string>& descriptions,
                      const std::vector<StoredSelfTest>& selfTests) {
    out << "== " << shown << " ==\n  " << drive.model << " / " << drive.serial << '\n';
    if (points.empty()) {
        out << "  履歴なし\n\n";
        return;
    }
    out << "  記録： " << LocalDate(points.front().time) << " 〜 "
        << LocalDate(lastSeen.value_or(points.back().time)) << '\n';
    bool any = false;
    for (const auto& [id, change] : Changes(points)) {
        const auto found = descriptions.find(id);
        const std::string name =
            std::to_string(id) + " " +
            (found != descriptions.end() ? found->second : kUnknownDescription);
        if (change.lastRawChange != nullptr) {
            out << "  " << name << ": " << FormatGrouped(change.first->sample.raw) << " → "
                << FormatGrouped(change.last->sample.raw) << ", "
                << LocalDate(change.lastRawChange->time) << '\n';
            any = true;
        }
        if (change.lastValueChange != nullptr) {
            out << "  " << name << " (値): " << change.first->sample.current << " → "
                << change.last->sample.current << ", " << LocalDate(change.lastValueChange->time)
                << '\n';
            any = true;
        }
    }
    if (!any) {
        out << "  変化なし\n";
    }
    for (const StoredSelfTest& test : selfTests) {
        out << "  自己診断： " << LocalDate(test.firstSeen) << ' '
            << SelfTestWordText(kSelfTestTypeTexts, test.entry.type) << ' '
            << SelfTestWordText(kSelfTestOutcomeTexts, test.entry.outcome);
        if (test.entry.lba) {
            out << "、" << kSelfTestLbaTitle << ' ' << *test.entry.lba;
        }
        out << '\n';
    }
    out << '\n';
}
