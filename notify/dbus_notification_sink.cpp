#include "notify/dbus_notification_sink.h"

#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>
#include <cstdlib>

namespace {

// A server that takes longer is hung; the next run tries again.
constexpr int kCallTimeoutMs = 10000;
// Urgency levels of org.freedesktop.Notifications: 1 normal, 2 critical.
constexpr unsigned char kUrgencyNormal = 1;
constexpr unsigned char kUrgencyCritical = 2;

} // namespace

std::unique_ptr<CDbusNotificationSink> CDbusNotificationSink::Connect(std::string& problem) {
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    // Without an address libdbus would try to launch a bus of its own.
    if (address == nullptr || *address == '\0') {
        problem = "no D-Bus session bus: DBUS_SESSION_BUS_ADDRESS is not set";
        return nullptr;
    }
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        problem = "no D-Bus session bus at " + std::string(address) + ": " +
                  bus.lastError().message().toStdString();
        return nullptr;
    }
    return std::unique_ptr<CDbusNotificationSink>(new CDbusNotificationSink(bus));
}

bool CDbusNotificationSink::Send(const DesktopNotification& notification, std::string& problem) {
    QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.Notifications",
                                                       "/org/freedesktop/Notifications",
                                                       "org.freedesktop.Notifications", "Notify");
    QVariantMap hints;
    // A QVariant of uchar travels as the D-Bus byte ('y') notification servers expect.
    hints.insert("urgency", QVariant::fromValue<uchar>(notification.critical ? kUrgencyCritical
                                                                             : kUrgencyNormal));
    hints.insert("desktop-entry", QString("tolvenar"));
    call << QString("Tolvenar") << 0u << QString("tolvenar")
         << QString::fromStdString(notification.summary)
         << QString::fromStdString(notification.body)
         << QStringList{"default", QString::fromUtf8("開く")} << hints << -1;
    const QDBusMessage reply = m_bus.call(call, QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        problem = reply.errorName().toStdString() + ": " + reply.errorMessage().toStdString();
        return false;
    }
    return true;
}
