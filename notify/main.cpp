// tolvenar-notify: tells the desktop session's user about drive warnings,
// each once until it gets worse. Started by a systemd user path unit after
// each collection, or by hand; it never stays resident.
#include "config/program_folder.h"
#include "notify/dbus_notification_sink.h"
#include "notify/notified_state.h"
#include "notify/notify_command.h"
#include "report/monitor_text.h"

#include <QCoreApplication>
#include <cstring>
#include <iostream>

namespace {

const char kUsage[] = "Usage: tolvenar-notify --once\n"
                      "Sends a desktop notification for each drive warning of the reports in the\n"
                      "program folder that this user has not been told about, or that got worse.\n"
                      "  --once   one run, then exit (the only mode: the systemd user path unit\n"
                      "           tolvenar-notify.path starts it after each collection)\n"
                      "  --help   this text\n"
                      "What was told is kept in $XDG_STATE_HOME/tolvenar/notified.json.\n"
                      "Exit status: 0 ok, 1 a notification or the state could not be written,\n"
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
    if (argc != 2 || std::strcmp(argv[1], "--once") != 0) {
        std::cerr << "tolvenar-notify: " << (argc < 2 ? "--once is required" : "unknown option")
                  << "\n"
                  << kUsage;
        return kNotifyUsage;
    }
    const QCoreApplication application(argc, argv);
    SetUpMonitorTexts(ResolveInProgramFolder("locale"));
    std::string problem;
    const std::unique_ptr<CDbusNotificationSink> sink = CDbusNotificationSink::Connect(problem);
    if (!sink) {
        std::cerr << "tolvenar-notify: " << problem << "\n";
        return kNotifyNoBus;
    }
    const std::string stateFolder = NotifyStateFolder(problem);
    if (stateFolder.empty()) {
        std::cerr << "tolvenar-notify: " << problem << "\n";
        return kNotifyIncomplete;
    }
    return NotifyOnce(*sink, stateFolder, std::cerr);
}
