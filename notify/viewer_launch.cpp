#include "notify/viewer_launch.h"

#include "config/program_folder.h"
#include "platform/program_lookup.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QVariantMap>
#include <cstdlib>

namespace {

// A viewer that answers is raised; false when none owns the name (or it hangs).
bool ActivateRunningViewer(const std::string& activationToken) {
    QDBusMessage call =
        QDBusMessage::createMethodCall("org.tolvenar.tolvenar", "/org/tolvenar/tolvenar",
                                       "org.freedesktop.Application", "Activate");
    call.setAutoStartService(false);
    QVariantMap platformData;
    if (!activationToken.empty()) {
        platformData.insert("activation-token", QString::fromStdString(activationToken));
    }
    call << platformData;
    constexpr int kTimeoutMs = 3000;
    return QDBusConnection::sessionBus().call(call, QDBus::Block, kTimeoutMs).type() ==
           QDBusMessage::ReplyMessage;
}

} // namespace

Result<void> OpenViewer(const std::string& activationToken) {
    if (ActivateRunningViewer(activationToken)) {
        return {};
    }
    const std::string program = FindProgram("tolvenar", ProgramFolder(), std::getenv("PATH"));
    if (program.empty()) {
        return Failure{"the viewer tolvenar is neither in the program folder nor on PATH"};
    }
    QProcess viewer;
    viewer.setProgram(QString::fromStdString(program));
    if (!activationToken.empty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_ACTIVATION_TOKEN", QString::fromStdString(activationToken));
        viewer.setProcessEnvironment(environment);
    }
    // Detached: the viewer outlives this run, and no zombie is left behind.
    if (!viewer.startDetached()) {
        return Failure{program + ": " + viewer.errorString().toStdString()};
    }
    return {};
}
