#pragma once

#include <QObject>
#include <QVariantMap>

class QWidget;

// The running viewer on the session bus: owns the name org.tolvenar.tolvenar
// and answers org.freedesktop.Application.Activate by bringing its window to
// the front, so that a click on a notification raises the viewer that runs
// instead of starting another. A second viewer started by hand runs as
// before, without the name. Nothing happens without a session bus.
class CViewerActivation : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")
public:
    explicit CViewerActivation(QWidget* window);

public slots:
    void Activate(const QVariantMap& platformData);

private:
    void Register();
    QWidget* m_pWindow;
};
