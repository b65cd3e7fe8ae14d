#pragma once

#include "notify/notification_sink.h"

#include <QDBusConnection>
#include <memory>
#include <string>

// org.freedesktop.Notifications.Notify on the session bus. The default
// action names the viewer's desktop entry ("tolvenar"): no process stays
// behind to hear ActionInvoked, so the notification server opens the viewer
// from that entry where it supports that, or the action does nothing.
class CDbusNotificationSink : public CNotificationSink {
public:
    // The sink on the session bus; null with problem set (one line) when
    // DBUS_SESSION_BUS_ADDRESS is unset or its bus cannot be reached.
    static std::unique_ptr<CDbusNotificationSink> Connect(std::string& problem);

    [[nodiscard]] bool Send(const DesktopNotification& notification, std::string& problem) override;

private:
    explicit CDbusNotificationSink(const QDBusConnection& bus) : m_bus(bus) {}
    QDBusConnection m_bus;
};
