#include "ui/repainting_wait.h"

#include "ui/child_process.h"

#include <QCursor>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>

namespace {

// How often the child is looked at; short enough not to be noticed.
constexpr int kPollIntervalMs = 20;

} // namespace

bool WaitWhileRepainting(CChildProcess& child, std::chrono::milliseconds bound,
                         std::chrono::milliseconds grace) {
    if (!child.IsStarted() || child.GetExitCode(nullptr)) {
        child.DrainOutput();
        return child.IsStarted();
    }
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));

    bool endedInTime = false;
    bool stopRequested = false;
    QDeadlineTimer deadline(bound);
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(kPollIntervalMs);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        child.DrainOutput();
        if (child.GetExitCode(nullptr)) {
            endedInTime = !stopRequested;
            loop.quit();
        } else if (deadline.hasExpired()) {
            if (!stopRequested) {
                child.RequestStop();
                stopRequested = true;
                deadline.setRemainingTime(grace);
            } else {
                child.ForceStop();
                loop.quit();
            }
        }
    });
    poll.start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    poll.stop();
    child.DrainOutput(); // what the child wrote just before it ended

    QGuiApplication::restoreOverrideCursor();
    return endedInTime;
}
