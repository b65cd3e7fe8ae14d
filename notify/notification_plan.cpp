#include "notify/notification_plan.h"

#include <algorithm>

namespace {

bool IsWorse(WarningKind kind, std::int64_t told, std::int64_t now) {
    switch (kind) {
    case WarningKind::BelowThreshold:
        return now < told;
    case WarningKind::Counter:
    case WarningKind::Temperature:
        return now > told;
    case WarningKind::Verdict:
    case WarningKind::Vanished: // told once: its value is when it was last read
    case WarningKind::ReportError:
        break;
    }
    return false;
}

} // namespace

NotificationPlan PlanNotifications(const std::vector<CurrentWarning>& current,
                                   const std::vector<NotifiedWarning>& told,
                                   const std::vector<DriveIdentity>& unread) {
    NotificationPlan plan;
    const auto planned = [&plan](const NotifiedWarning& entry) {
        const auto same = [&entry](const NotifiedWarning& other) {
            return entry.SameWarning(other);
        };
        return std::any_of(plan.keep.begin(), plan.keep.end(), same) ||
               std::any_of(plan.send.begin(), plan.send.end(),
                           [&same](const PlannedNotification& p) { return same(p.entry); });
    };
    for (const NotifiedWarning& entry : told) {
        const bool driveUnread =
            std::any_of(unread.begin(), unread.end(), [&entry](const DriveIdentity& drive) {
                return entry.model == drive.model && entry.serial == drive.serial;
            });
        if (driveUnread && !planned(entry)) {
            plan.keep.push_back(entry);
        }
    }
    for (const CurrentWarning& now : current) {
        const NotifiedWarning entry{now.identity.model, now.identity.serial, now.warning.kind,
                                    now.warning.attributeId, now.warning.value};
        // Two reports of one drive give its warnings twice: tell them once.
        if (planned(entry)) {
            continue;
        }
        const auto before =
            std::find_if(told.begin(), told.end(), [&entry](const NotifiedWarning& other) {
                return entry.SameWarning(other);
            });
        if (before == told.end()) {
            plan.send.push_back({entry, std::nullopt, now.warning});
        } else if (IsWorse(entry.kind, before->value, entry.value)) {
            plan.send.push_back({entry, *before, now.warning});
        } else {
            plan.keep.push_back(*before);
        }
    }
    return plan;
}

DesktopNotification MakeNotification(const DriveWarning& warning) {
    DesktopNotification notification;
    notification.critical = warning.level == WarningLevel::Failing;
    notification.summary = notification.critical ? "ディスクの故障の兆候" : "ディスクの注意";
    notification.body = warning.text;
    return notification;
}
