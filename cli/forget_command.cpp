#include "cli/forget_command.h"

#include "cli/report_command.h"
#include "config/program_folder.h"
#include "history/history_store.h"

#include <unistd.h>

// --forget: the drives with this serial number leave the history.
int Forget(const std::string& serial, std::ostream& out, std::ostream& err) {
    CHistoryStore history;
    const std::string path = ResolveInReportFolder(kHistoryFileName);
    // Opening for writing creates a missing history: there is nothing to forget.
    if (access(path.c_str(), F_OK) != 0) {
        err << "tolvenar-report: " << path << ": no history\n";
        return kExitUnreadable;
    }
    if (const auto opened = history.Open(path, CHistoryStore::Access::Write); !opened) {
        err << "tolvenar-report: " << opened.Problem() << "\n";
        return kExitUnreadable;
    }
    const auto known = history.KnownDrives();
    if (!known) {
        err << "tolvenar-report: " << known.Problem() << "\n";
        return kExitUnreadable;
    }
    bool found = false;
    for (const KnownDrive& drive : known.Value()) {
        if (drive.drive.serial != serial) {
            continue;
        }
        const auto forgotten = history.Forget(drive.drive);
        if (!forgotten) {
            err << "tolvenar-report: " << forgotten.Problem() << "\n";
            return kExitUnreadable;
        }
        out << "forgotten: " << drive.drive.model << " (" << drive.drive.serial << ")\n";
        found = true;
    }
    if (!found) {
        err << "tolvenar-report: the history knows no drive with serial number " << serial << "\n";
        return kExitUnreadable;
    }
    return kExitOk;
}
