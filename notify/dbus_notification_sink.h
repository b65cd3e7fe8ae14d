#pragma once

#include "notify/notification_sink.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <memory>
#include <string>

// org.freedesktop.Notifications on the session bus. The bubbles offer the
// default action only where the server has the "actions" capability; a
// click on it is heard while Await runs (NotificationClosed, ActionInvoked,
// ActivationToken), so the process that sent a bubble is the one that opens
// the viewer.
class CDbusNotificationSink : public QObject, public CNotificationSink {
    Q_OBJECT
public:
    // The sink on the session bus; a Failure (one line) when
    // DBUS_SESSION_BUS_ADDRESS is unset or its bus cannot be reached.
    static Result<std::unique_ptr<CDbusNotificationSink>> Connect();

    Result<std::uint32_t> Send(const DesktopNotification& notification) override;
    std::string ServerInstance() const override { return m_serverInstance; }
    std::set<std::uint32_t> Await(const std::set<std::uint32_t>& shown,
                                  std::chrono::milliseconds limit,
                                  const OpenHandler& onOpen) override;

signals:
    void Settled();

private slots:
    void OnClosed(uint id, uint reason);
    void OnAction(uint id, const QString& key);
    void OnActivationToken(uint id, const QString& token);
    void OnServerGone();

private:
    explicit CDbusNotificationSink(const QDBusConnection& bus);
    void Forget(uint id);

    QDBusConnection m_bus;
    bool m_bActions = false;
    bool m_bMarkup = false;
    std::set<std::uint32_t> m_waiting; // bubbles not yet closed or acted on
    std::set<std::uint32_t> m_gone;
    OpenHandler m_onOpen;
    // The token the server sends just before ActionInvoked, for the window
    // to be let to the front (Wayland).
    QString m_activationToken;
    std::string m_serverInstance;
};
