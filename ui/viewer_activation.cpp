#include "ui/viewer_activation.h"

#include <QDBusConnection>
#include <QTimer>
#include <QWidget>
#include <cstdlib>

namespace {
const char kName[] = "org.tolvenar.tolvenar";
const char kPath[] = "/org/tolvenar/tolvenar";
} // namespace

CViewerActivation::CViewerActivation(QWidget* window) : QObject(window), m_pWindow(window) {
    // Once the dialog runs, so that the bus never delays its first paint.
    QTimer::singleShot(0, this, &CViewerActivation::Register);
}

void CViewerActivation::Register() {
    // Without an address libdbus would try to launch a bus of its own.
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (address == nullptr || *address == '\0') {
        return;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.registerObject(kPath, this, QDBusConnection::ExportAllSlots)) {
        bus.registerService(kName); // taken by an earlier viewer: that one is raised
    }
}

void CViewerActivation::Activate(const QVariantMap& /*platformData*/) {
    m_pWindow->showNormal();
    m_pWindow->raise();
    m_pWindow->activateWindow();
}
