#pragma once

#include "notify/notification_sink.h"
#include "notify/notified_state.h"
#include "report/drive_report.h"
#include "report/drive_warnings.h"

#include <optional>
#include <vector>

// A warning as the reports give it now.
struct CurrentWarning {
    DriveIdentity identity;
    DriveWarning warning;
};

struct PlannedNotification {
    NotifiedWarning entry;               // what the state holds once it is sent
    std::optional<NotifiedWarning> told; // what the user was told before, if anything
    DriveWarning warning;
};

// What to tell the user and what to keep in the state without telling.
struct NotificationPlan {
    std::vector<PlannedNotification> send;
    std::vector<NotifiedWarning> keep;
};

// Acknowledge until it changes: a warning not told before, or one whose value
// is worse than the value told (a higher counter or temperature, a lower
// value below threshold), is sent; one told with the same or a better value
// is kept with the value told; a told warning that is gone is dropped, so
// that it is told again when it comes back. The told warnings of unread
// drives (reports that could not be evaluated) are kept as they were.
NotificationPlan PlanNotifications(const std::vector<CurrentWarning>& current,
                                   const std::vector<NotifiedWarning>& told,
                                   const std::vector<DriveIdentity>& unread);

// A drive with something to tell: all its current warnings, worst first
// (failing ones first), each once, and the planned entries that made it news.
struct DriveNews {
    DriveIdentity identity;
    std::vector<DriveWarning> warnings;
    std::vector<PlannedNotification> send;
};

// The drives of plan.send, in the order of their first news; current gives
// each drive's whole list of warnings.
std::vector<DriveNews> GroupByDrive(const NotificationPlan& plan,
                                    const std::vector<CurrentWarning>& current);

// The one notification of a drive, and the only place its texts are made:
// the summary gives the level of the worst warning and names the drive (model
// and serial), the body has one line per warning, in the order given.
DesktopNotification MakeDriveNotification(const DriveIdentity& drive,
                                          const std::vector<DriveWarning>& warnings);
