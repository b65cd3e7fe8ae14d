// A notification server for tests: owns org.freedesktop.Notifications on the
// session bus and appends one line per Notify call to a file, so that a test
// sees exactly what a desktop would have shown. Usage:
//   fake_notification_server CALLS_FILE READY_FILE [click|click-viewer|no-actions]
// READY_FILE is created once the name is owned. "click": each notification
// is clicked (ActionInvoked "default", then NotificationClosed) right after
// it is shown; "click-viewer" also stands for a running viewer, recording
// each Activate as a line "Activate". "no-actions": the server lacks the
// "actions" capability.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFile>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QVariantMap>
#include <cstdio>
#include <cstring>

class CFakeNotificationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    CFakeNotificationServer(const QString& callsFile, const QString& mode)
        : m_calls(callsFile), m_mode(mode) {}

signals:
    void NotificationClosed(uint id, uint reason);
    void ActionInvoked(uint id, const QString& key);

public slots:
    // One tab-separated line (newlines as \n): app, replaces id, icon, summary, body, actions
    // joined by "|", the urgency hint's type and value, the desktop entry, timeout.
    uint Notify(const QString& app, uint replacesId, const QString& icon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints,
                int timeout) {
        const QVariant urgency = hints.value("urgency");
        const QStringList fields{app,
                                 QString::number(replacesId),
                                 icon,
                                 summary,
                                 body,
                                 actions.join('|'),
                                 QString("urgency=%1:%2")
                                     .arg(urgency.typeName() ? urgency.typeName() : "none")
                                     .arg(urgency.toInt()),
                                 "desktop-entry=" + hints.value("desktop-entry").toString(),
                                 QString::number(timeout)};
        QFile file(m_calls);
        if (file.open(QIODevice::Append)) {
            file.write(fields.join('\t').replace("\n", "\\n").toUtf8() + "\n");
        }
        const uint id = replacesId != 0 ? replacesId : ++m_lastId;
        if (m_mode.startsWith("click")) {
            // After the reply, as a user's click would come.
            QTimer::singleShot(0, this, [this, id] {
                emit ActionInvoked(id, "default");
                emit NotificationClosed(id, 2);
            });
        }
        return id;
    }
    QStringList GetCapabilities() {
        return m_mode == "no-actions" ? QStringList{"body"} : QStringList{"body", "actions"};
    }
    QString GetServerInformation(QString& vendor, QString& version, QString& specVersion) {
        vendor = "Tolvenar tests";
        version = "1";
        specVersion = "1.2";
        return "fake_notification_server";
    }
    void CloseNotification(uint) {}

private:
    QString m_calls;
    QString m_mode;
    uint m_lastId = 0;
};

// A viewer that runs: org.freedesktop.Application on org.tolvenar.tolvenar.
class CFakeViewer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")

public:
    explicit CFakeViewer(const QString& callsFile) : m_calls(callsFile) {}

public slots:
    void Activate(const QVariantMap&) {
        QFile file(m_calls);
        if (file.open(QIODevice::Append)) {
            file.write("Activate\n");
        }
    }

private:
    QString m_calls;
};

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: fake_notification_server CALLS_FILE READY_FILE "
                             "[click|no-actions]\n");
        return 64;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    CFakeNotificationServer server(QString::fromLocal8Bit(argv[1]),
                                   argc == 4 ? QString::fromLocal8Bit(argv[3]) : QString());
    if (!bus.registerObject("/org/freedesktop/Notifications", &server,
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals) ||
        !bus.registerService("org.freedesktop.Notifications")) {
        std::fprintf(stderr, "fake_notification_server: cannot own the name: %s\n",
                     qPrintable(bus.lastError().message()));
        return 1;
    }
    CFakeViewer viewer(QString::fromLocal8Bit(argv[1]));
    if (argc == 4 && std::strcmp(argv[3], "click-viewer") == 0 &&
        (!bus.registerObject("/org/tolvenar/tolvenar", &viewer, QDBusConnection::ExportAllSlots) ||
         !bus.registerService("org.tolvenar.tolvenar"))) {
        std::fprintf(stderr, "fake_notification_server: cannot stand for the viewer\n");
        return 1;
    }
    QFile ready(QString::fromLocal8Bit(argv[2]));
    if (!ready.open(QIODevice::WriteOnly)) {
        return 1;
    }
    ready.close();
    return application.exec();
}

#include "fake_notification_server.moc"
