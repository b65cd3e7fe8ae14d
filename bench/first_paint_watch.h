#pragma once

#include <QObject>

// Ends the process (exit status 0) once the first paint event of any widget
// has been handled: the next turn of the event loop after it.
class CFirstPaintWatch : public QObject {
    Q_OBJECT
public:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool m_bSeen = false;
};
