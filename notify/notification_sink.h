#pragma once

#include <string>

// One desktop notification as the user sees it.
struct DesktopNotification {
    std::string summary;
    std::string body;
    bool critical = false; // failing drives: the server keeps it until dismissed
};

// Where notifications go: the session bus in the program, a fake in tests.
class CNotificationSink {
public:
    virtual ~CNotificationSink() = default;
    // False with problem set (one line) when the notification was not shown.
    [[nodiscard]] virtual bool Send(const DesktopNotification& notification,
                                    std::string& problem) = 0;
};
