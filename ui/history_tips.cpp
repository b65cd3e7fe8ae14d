#include "ui/history_tips.h"

#include "platform/local_time.h"
#include "report/format_grouped.h"

std::map<int, std::string> RawChangeTips(const std::vector<RawChange>& changes) {
    std::map<int, std::string> tips;
    for (const RawChange& change : changes) {
        tips[change.id] = "生の値 " + FormatGrouped(change.from) + " → " +
                          FormatGrouped(change.to) + "（" +
                          FormatLocalTime(change.time, "%Y-%m-%d") + " に変化）";
    }
    return tips;
}

std::string ReportWrittenTip(std::int64_t time) {
    return "レポート作成: " + FormatLocalTime(time, "%Y-%m-%d %H:%M");
}
