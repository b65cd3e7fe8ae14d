#pragma once

#include "platform/result.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <set>
#include <string>

// One desktop notification as the user sees it.
struct DesktopNotification {
    std::string summary;
    std::string body;             // plain text, one warning a line
    bool critical = false;        // failing drives: the server keeps it until dismissed
    std::uint32_t replacesId = 0; // the drive's bubble still shown, 0 for a new one
};

// Where notifications go: the session bus in the program, a fake in tests.
class CNotificationSink {
public:
    virtual ~CNotificationSink() = default;
    // The server's number for the bubble (replacesId when it replaced one),
    // never 0; a Failure (one line) when the notification was not shown.
    virtual Result<std::uint32_t> Send(const DesktopNotification& notification) = 0;
    // Names this run of the notification server: the bus's id and the
    // server's unique name on it, which no later server or session repeats.
    // Bubble numbers are the server's own; empty when there is no server.
    virtual std::string ServerInstance() const = 0;
    // Waits until every bubble of shown has been closed or acted on, or limit
    // has passed; onOpen runs for each click on a bubble's default action,
    // with the activation token the server gave (may be empty). The bubbles
    // known to be gone.
    using OpenHandler = std::function<void(const std::string& activationToken)>;
    virtual std::set<std::uint32_t> Await(const std::set<std::uint32_t>& shown,
                                          std::chrono::milliseconds limit,
                                          const OpenHandler& onOpen) = 0;
};
