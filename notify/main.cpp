// tolvenar-notify: tells the desktop session's user about drive warnings,
// each once until it gets worse. Started by a systemd user path unit after
// each collection (and then it stays until its bubbles are closed or
// clicked, at most 15 minutes), or by hand.
#include "config/program_folder.h"
#include "history/history_store.h"
#include "notify/dbus_notification_sink.h"
#include "notify/notified_state.h"
#include "notify/notify_command.h"
#include "report/monitor_text.h"
#include "tolvenar_version.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstring>
#include <iostream>
#include <sys/stat.h>

namespace {

// What tells one write of the history from the next.
struct HistoryStamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};

    bool operator==(const HistoryStamp& other) const {
        return exists == other.exists && device == other.device && inode == other.inode &&
               size == other.size && modified.tv_sec == other.modified.tv_sec &&
               modified.tv_nsec == other.modified.tv_nsec;
    }
};

HistoryStamp StampHistory() {
    HistoryStamp stamp;
    struct stat info {};
    if (stat(ResolveInReportFolder(kHistoryFileName).c_str(), &info) == 0) {
        stamp = {true, info.st_dev, info.st_ino, info.st_size, info.st_mtim};
    }
    return stamp;
}

const char kUsage[] =
    "Usage: tolvenar-notify --once [--wait]\n"
    "Sends one desktop notification for each drive whose warnings in the reports\n"
    "this user has not been told about, or that got worse.\n"
    "  --once   one run; without --wait it ends as soon as it is done (required)\n"
    "  --wait   after the run, stay until each notification sent is closed or\n"
    "           clicked (a click opens the viewer), at most 15 minutes; the\n"
    "           systemd user unit tolvenar-notify.service runs it so\n"
    "  --help   this text\n"
    "  --version  the version\n"
    "What was told is kept in $XDG_STATE_HOME/tolvenar/notified.json.\n"
    "Exit status: 0 ok, 1 a notification, the state or the viewer could not be\n"
    "written or started (nothing new is sent when the state cannot be written),\n"
    "2 no D-Bus session bus (nothing sent, state untouched), 64 usage.\n";

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::cout << kUsage;
        return kNotifyOk;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::cout << "tolvenar-notify " TOLVENAR_VERSION "\n";
        return kNotifyOk;
    }
    const bool wait = argc == 3 && std::strcmp(argv[2], "--wait") == 0;
    if (argc < 2 || argc > 3 || std::strcmp(argv[1], "--once") != 0 || (argc == 3 && !wait)) {
        std::cerr << "tolvenar-notify: " << (argc < 2 ? "--once is required" : "unknown option")
                  << "\n"
                  << kUsage;
        return kNotifyUsage;
    }
    const QCoreApplication application(argc, argv);
    SetUpMonitorTexts(ResolveInProgramFolder("locale"));
    const Result<std::unique_ptr<CDbusNotificationSink>> sink = CDbusNotificationSink::Connect();
    if (!sink) {
        std::cerr << "tolvenar-notify: " << sink.Problem() << "\n";
        return kNotifyNoBus;
    }
    const Result<std::string> folder = NotifyStateFolder();
    if (!folder) {
        std::cerr << "tolvenar-notify: " << folder.Problem() << "\n";
        return kNotifyIncomplete;
    }
    const std::string& stateFolder = folder.Value();
    // While a run waits, its path unit does not start it again: a collection
    // in that time is taken up here, so that no news waits for the next one.
    int status = kNotifyOk;
    for (HistoryStamp before = StampHistory();;) {
        status = std::max(status, NotifyOnce(**sink, stateFolder, wait, std::cerr));
        const HistoryStamp after = StampHistory();
        if (!wait || after == before) {
            return status;
        }
        before = after;
    }
}
