// A notification server for tests: owns org.freedesktop.Notifications on the
// session bus and appends one line per Notify call to a file, so that a test
// sees exactly what a desktop would have shown. Usage:
//   fake_notification_server CALLS_FILE READY_FILE
// READY_FILE is created once the name is owned.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFile>
#include <QObject>
#include <QStringList>
#include <QVariantMap>
#include <cstdio>

class CFakeNotificationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    explicit CFakeNotificationServer(const QString& callsFile) : m_calls(callsFile) {}

public slots:
    // One tab-separated line: app, replaces id, icon, summary, body, actions
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
            file.write(fields.join('\t').toUtf8() + "\n");
        }
        return ++m_lastId;
    }
    QStringList GetCapabilities() { return {"body", "actions"}; }
    QString GetServerInformation(QString& vendor, QString& version, QString& specVersion) {
        vendor = "Tolvenar tests";
        version = "1";
        specVersion = "1.2";
        return "fake_notification_server";
    }
    void CloseNotification(uint) {}

private:
    QString m_calls;
    uint m_lastId = 0;
};

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: fake_notification_server CALLS_FILE READY_FILE\n");
        return 64;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    CFakeNotificationServer server(QString::fromLocal8Bit(argv[1]));
    if (!bus.registerObject("/org/freedesktop/Notifications", &server,
                            QDBusConnection::ExportAllSlots) ||
        !bus.registerService("org.freedesktop.Notifications")) {
        std::fprintf(stderr, "fake_notification_server: cannot own the name: %s\n",
                     qPrintable(bus.lastError().message()));
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
