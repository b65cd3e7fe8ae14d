#include "notify/notification_plan.h"

#include "report/monitor_text.h"

#include <algorithm>

namespace {

bool IsWorse(WarningKind kind, std::int64_t told, std::int64_t now) {
    switch (kind) {
    case WarningKind::BelowThreshold:
        return now < told;
    case WarningKind::Counter:
    case WarningKind::Temperature:
        return now > told;
    case WarningKind::SelfTest:
        // Another failing LBA is another failed test.
        return now != told;
    case WarningKind::Verdict:
    case WarningKind::Vanished: // told once: its value is when it was last read
    case WarningKind::ReportError:
    case WarningKind::ExtendedTestAge: // told once until a new test clears it
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
        } else if (!before->value) {
            // Told, but what is unknown: news from here on is what gets worse.
            plan.keep.push_back(entry);
        } else if (IsWorse(entry.kind, *before->value, *entry.value)) {
            plan.send.push_back({entry, *before, now.warning});
        } else {
            plan.keep.push_back(*before);
        }
    }
    return plan;
}

std::vector<DriveNews> GroupByDrive(const NotificationPlan& plan,
                                    const std::vector<CurrentWarning>& current) {
    std::vector<DriveNews> news;
    const auto sameDrive = [](const DriveIdentity& drive, const NotifiedWarning& entry) {
        return drive.model == entry.model && drive.serial == entry.serial;
    };
    for (const PlannedNotification& planned : plan.send) {
        const auto drive = std::find_if(news.begin(), news.end(), [&](const DriveNews& d) {
            return sameDrive(d.identity, planned.entry);
        });
        if (drive != news.end()) {
            drive->send.push_back(planned);
        } else {
            news.push_back({{planned.entry.model, planned.entry.serial}, {}, {planned}});
        }
    }
    for (DriveNews& drive : news) {
        for (const CurrentWarning& now : current) {
            const bool known = std::any_of(
                drive.warnings.begin(), drive.warnings.end(), [&](const DriveWarning& w) {
                    return w.kind == now.warning.kind && w.attributeId == now.warning.attributeId;
                });
            if (!known && now.identity.model == drive.identity.model &&
                now.identity.serial == drive.identity.serial) {
                drive.warnings.push_back(now.warning);
            }
        }
        std::stable_sort(
            drive.warnings.begin(), drive.warnings.end(),
            [](const DriveWarning& a, const DriveWarning& b) { return a.level > b.level; });
    }
    return news;
}

DesktopNotification MakeDriveNotification(const DriveIdentity& drive,
                                          const std::vector<DriveWarning>& warnings) {
    const std::string name =
        drive.serial.empty() ? drive.model : drive.model + " (" + drive.serial + ")";
    DesktopNotification notification;
    notification.critical = HighestLevel(warnings) == WarningLevel::Failing;
    notification.summary = (notification.critical ? MonitorText("Disk failure warning")
                                                  : MonitorText("Disk warning")) +
                           ": " + name;
    // The summary names the drive; each warning's text names it again.
    const std::string prefix = name + ": ";
    for (const DriveWarning& warning : warnings) {
        const bool named = warning.text.compare(0, prefix.size(), prefix) == 0;
        notification.body += (notification.body.empty() ? "" : "\n") +
                             warning.text.substr(named ? prefix.size() : 0);
    }
    return notification;
}
