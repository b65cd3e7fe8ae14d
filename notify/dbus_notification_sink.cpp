#include "notify/dbus_notification_sink.h"

#include "report/monitor_text.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QEventLoop>
#include <QStringList>
#include <QTimer>
#include <QVariantMap>
#include <cstdlib>

namespace {

const char kService[] = "org.freedesktop.Notifications";
const char kPath[] = "/org/freedesktop/Notifications";
const char kInterface[] = "org.freedesktop.Notifications";
// A server that takes longer is hung; the next run tries again.
constexpr int kCallTimeoutMs = 10000;
// Urgency levels of org.freedesktop.Notifications: 1 normal, 2 critical.
constexpr unsigned char kUrgencyNormal = 1;
constexpr unsigned char kUrgencyCritical = 2;

} // namespace

Result<std::unique_ptr<CDbusNotificationSink>> CDbusNotificationSink::Connect() {
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    // Without an address libdbus would try to launch a bus of its own.
    if (address == nullptr || *address == '\0') {
        return Failure{"no D-Bus session bus: DBUS_SESSION_BUS_ADDRESS is not set"};
    }
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return Failure{"no D-Bus session bus at " + std::string(address) + ": " +
                       bus.lastError().message().toStdString()};
    }
    return std::unique_ptr<CDbusNotificationSink>(new CDbusNotificationSink(bus));
}

CDbusNotificationSink::CDbusNotificationSink(const QDBusConnection& bus) : m_bus(bus) {
    // Heard from before the first bubble is sent, so that no click is missed.
    m_bus.connect(kService, kPath, kInterface, "NotificationClosed", this,
                  SLOT(OnClosed(uint, uint)));
    m_bus.connect(kService, kPath, kInterface, "ActionInvoked", this,
                  SLOT(OnAction(uint, QString)));
    m_bus.connect(kService, kPath, kInterface, "ActivationToken", this,
                  SLOT(OnActivationToken(uint, QString)));
    // No server yet: Send fails and says why.
    const QDBusMessage reply =
        m_bus.call(QDBusMessage::createMethodCall(kService, kPath, kInterface, "GetCapabilities"),
                   QDBus::Block, kCallTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
        const QStringList capabilities = reply.arguments().first().toStringList();
        m_bActions = capabilities.contains("actions");
        m_bMarkup = capabilities.contains("body-markup");
        const QDBusMessage busId = m_bus.call(
            QDBusMessage::createMethodCall("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                           "org.freedesktop.DBus", "GetId"),
            QDBus::Block, kCallTimeoutMs);
        const QString owner = m_bus.interface()->serviceOwner(kService);
        if (busId.type() == QDBusMessage::ReplyMessage && !owner.isEmpty()) {
            m_serverInstance = (busId.arguments().value(0).toString() + "/" + owner).toStdString();
        }
    }
}

Result<std::uint32_t> CDbusNotificationSink::Send(const DesktopNotification& notification) {
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, "Notify");
    QVariantMap hints;
    // A QVariant of uchar travels as the D-Bus byte ('y') notification servers expect.
    hints.insert("urgency", QVariant::fromValue<uchar>(notification.critical ? kUrgencyCritical
                                                                             : kUrgencyNormal));
    hints.insert("desktop-entry", QString("tolvenar"));
    QString body = QString::fromStdString(notification.body);
    // Such a server reads the body as markup, where a model's "&" or "<" would break it.
    if (m_bMarkup) {
        body = body.toHtmlEscaped();
    }
    const QStringList actions =
        m_bActions ? QStringList{"default", QString::fromStdString(MonitorText("Open"))}
                   : QStringList{};
    call << QString("Tolvenar") << uint{notification.replacesId} << QString("tolvenar")
         << QString::fromStdString(notification.summary) << body << actions << hints << -1;
    const QDBusMessage reply = m_bus.call(call, QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        return Failure{reply.errorName().toStdString() + ": " + reply.errorMessage().toStdString()};
    }
    const uint id = reply.arguments().value(0).toUInt();
    if (id == 0) {
        return Failure{"the notification server answered without a notification id"};
    }
    return std::uint32_t{id};
}

std::set<std::uint32_t> CDbusNotificationSink::Await(const std::set<std::uint32_t>& shown,
                                                     std::chrono::milliseconds limit,
                                                     const OpenHandler& onOpen) {
    m_waiting = shown;
    m_onOpen = onOpen;
    // A server that quits (logout, restart) takes its bubbles with it.
    QDBusServiceWatcher watcher(kService, m_bus, QDBusServiceWatcher::WatchForUnregistration);
    connect(&watcher, &QDBusServiceWatcher::serviceUnregistered, this,
            &CDbusNotificationSink::OnServerGone);
    QEventLoop loop;
    connect(this, &CDbusNotificationSink::Settled, &loop, &QEventLoop::quit);
    QTimer::singleShot(limit, &loop, &QEventLoop::quit);
    if (!m_waiting.empty()) {
        loop.exec();
    }
    m_onOpen = nullptr;
    std::set<std::uint32_t> gone;
    for (const std::uint32_t id : shown) {
        if (m_gone.count(id) != 0) {
            gone.insert(id);
        }
    }
    return gone;
}

void CDbusNotificationSink::OnClosed(uint id, uint /*reason*/) {
    m_gone.insert(id);
    Forget(id);
}

void CDbusNotificationSink::OnAction(uint id, const QString& key) {
    if (key == "default" && m_waiting.count(id) != 0 && m_onOpen) {
        m_onOpen(m_activationToken.toStdString());
    }
    Forget(id);
}

void CDbusNotificationSink::OnActivationToken(uint id, const QString& token) {
    if (m_waiting.count(id) != 0) {
        m_activationToken = token;
    }
}

void CDbusNotificationSink::OnServerGone() {
    m_gone.insert(m_waiting.begin(), m_waiting.end());
    m_waiting.clear();
    emit Settled();
}

void CDbusNotificationSink::Forget(uint id) {
    if (m_waiting.erase(id) != 0 && m_waiting.empty()) {
        emit Settled();
    }
}
