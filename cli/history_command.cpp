#include "cli/history_command.h"

#include "cli/history_output.h"
#include "cli/report_command.h"
#include "history/history_store.h"
#include "monitor/report_folder_history.h"
#include "report/drive_report.h"

#include <algorithm>
#include <map>

// --history: each drive once, however many reports name it.
int ShowHistory(const std::vector<ShownReport>& reports, bool json, std::ostream& out,
                std::ostream& err, int status) {
    CHistoryStore store;
    const Result<void> opened = OpenReportFolderHistory(store);
    const bool missing = !opened;
    if (!opened && opened.Kind() != FailureKind::Missing) {
        err << "tolvenar-report: " << opened.Problem() << "\n";
        return kExitUnreadable;
    }
    if (!store.Note().empty()) {
        err << "tolvenar-report: " << store.Note() << "\n";
    }
    const CDriveLoader loader;
    std::vector<DriveIdentity> shown;
    for (const ShownReport& report : reports) {
        const DriveIdentity drive = ReadDriveIdentity(report.path);
        if (std::find(shown.begin(), shown.end(), drive) != shown.end()) {
            continue;
        }
        shown.push_back(drive);
        const auto read = missing ? Result<std::vector<HistoryPoint>>(std::vector<HistoryPoint>())
                                  : store.Readings(drive);
        const auto lastSeen =
            missing ? Result<std::optional<std::int64_t>>(std::nullopt) : store.LastSeen(drive);
        const auto selfTests =
            missing || json ? Result<std::vector<StoredSelfTest>>(std::vector<StoredSelfTest>())
                            : store.SelfTests(drive);
        if (!read || !lastSeen || !selfTests) {
            // Never a shorter history, nor none, in place of an unreadable one.
            err << "tolvenar-report: " << report.shown << ": "
                << (!read       ? read.Problem()
                    : !lastSeen ? lastSeen.Problem()
                                : selfTests.Problem())
                << "\n";
            status = kExitUnreadable;
            continue;
        }
        const std::vector<HistoryPoint>& points = read.Value();
        if (json) {
            WriteHistoryJson(out, drive, points);
            continue;
        }
        std::map<int, std::string> descriptions;
        for (const AttributeRow& row : loader.Load(report.path, report.shown).evaluation.rows) {
            descriptions[std::atoi(row.columns[0].c_str())] = row.columns[1];
        }
        WriteHistoryText(out, report.shown, drive, points, lastSeen.Value(), descriptions,
                         selfTests.Value());
    }
    out.flush();
    return status;
}
