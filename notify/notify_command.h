#pragma once

#include "notify/notification_sink.h"

#include <chrono>
#include <ostream>
#include <string>

// Exit statuses of tolvenar-notify.
constexpr int kNotifyOk = 0;
constexpr int kNotifyIncomplete = 1; // a notification or the state could not be written
constexpr int kNotifyNoBus = 2;      // no D-Bus session bus; the state is untouched
constexpr int kNotifyUsage = 64;     // unknown option (sysexits' EX_USAGE)

// How long a run with wait stays for the user to close or click its bubbles.
constexpr std::chrono::minutes kWaitLimit{15};

// One run: evaluates every report of the report folder, sends to sink one
// notification per drive with news (see PlanNotifications, GroupByDrive),
// replacing the drive's earlier bubble, and replaces the state file in
// stateFolder atomically with what was told. Nothing new is sent when the
// state cannot be written. A damaged state file is reported in one line on
// err and read as empty. With wait, it then stays until each bubble sent is
// closed or acted on, or kWaitLimit has passed; the default action starts
// the viewer.
int NotifyOnce(CNotificationSink& sink, const std::string& stateFolder, bool wait,
               std::ostream& err);
