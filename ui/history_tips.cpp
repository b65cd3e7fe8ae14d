#include "ui/history_tips.h"

#include "platform/local_time.h"
#include "report/format_grouped.h"

std::map<int, std::string> RawChangeTips(const std::vector<HistoryPoint>& points) {
    std::map<int, const HistoryPoint*> previous;
    std::map<int, std::string> tips;
    for (const HistoryPoint& point : points) {
        const int id = point.sample.id;
        const auto found = previous.find(id);
        if (found != previous.end() && found->second->sample.raw != point.sample.raw) {
            tips[id] = "生の値 " + FormatGrouped(found->second->sample.raw) + " → " +
                       FormatGrouped(point.sample.raw) + "（" +
                       FormatLocalTime(point.time, "%Y-%m-%d") + " に変化）";
        }
        previous[id] = &point;
    }
    return tips;
}

std::string ReportWrittenTip(std::int64_t time) {
    return "レポート作成: " + FormatLocalTime(time, "%Y-%m-%d %H:%M");
}
