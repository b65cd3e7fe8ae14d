#pragma once

#include "notify/notification_sink.h"

#include <ostream>
#include <string>

// Exit statuses of tolvenar-notify.
constexpr int kNotifyOk = 0;
constexpr int kNotifyIncomplete = 1; // a notification or the state could not be written
constexpr int kNotifyNoBus = 2;      // no D-Bus session bus; the state is untouched
constexpr int kNotifyUsage = 64;     // unknown option (sysexits' EX_USAGE)

// One run: evaluates every report of the program folder, sends to sink what
// the user has not been told (see PlanNotifications) and replaces the state
// file in stateFolder atomically with what was told. A damaged state file is
// reported in one line on err and read as empty.
int NotifyOnce(CNotificationSink& sink, const std::string& stateFolder, std::ostream& err);
