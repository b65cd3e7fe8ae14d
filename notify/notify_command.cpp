#include "notify/notify_command.h"

#include "monitor/drive_warning_loader.h"
#include "monitor/monitor_history.h"
#include "notify/notification_plan.h"
#include "notify/notified_state.h"
#include "notify/viewer_launch.h"
#include "platform/atomic_file.h"
#include "platform/regular_file.h"
#include "report/drive_report.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Far beyond a state of every warning of a thousand drives.
constexpr std::size_t kMaxStateBytes = 4 * 1024 * 1024;

// The warnings of every report now; the drives of malformed reports go to
// unread (one line each on err).
void LoadWarnings(std::vector<CurrentWarning>& current, std::vector<DriveIdentity>& unread,
                  std::ostream& err) {
    const CDriveWarningLoader loader{WarningSettings{}};
    if (!loader.HistoryProblem().empty()) {
        err << "tolvenar-notify: " << loader.HistoryProblem()
            << "; warnings are judged without it\n";
    }
    // Growth and vanished drives are judged against the history as
    // tolvenar-report --check judges them.
    CMonitorHistory history;
    const std::int64_t now = time(nullptr);
    std::vector<DriveIdentity> present;
    for (const DriveReportFile& file : ListDriveReports()) {
        WarnedDrive drive = loader.Load(file.path, file.path);
        present.push_back({drive.identity.model, drive.identity.serial});
        if (drive.report.evaluation.parseError) {
            // Half a report would make its warnings vanish and come back.
            err << "tolvenar-notify: " << file.path << ": malformed attribute line (ATTR_"
                << drive.report.evaluation.parseErrorId << "); its drive is left as it was\n";
            unread.push_back(drive.identity);
            continue;
        }
        (void)history.ApplyGrowth(drive, now);
        for (const DriveWarning& warning : drive.warnings) {
            current.push_back({drive.identity, warning});
        }
    }
    for (const VanishedDrive& gone : history.Vanished(present, now, kDefaultVanishedAfterSeconds)) {
        // The value is the last reading's time, so a drive gone is told once.
        const DriveIdentity& identity = gone.drive;
        current.push_back({identity, VanishedWarning(identity, gone.lastSeen)});
    }
    if (!history.Problem().empty()) {
        err << "tolvenar-notify: " << history.Problem() << "\n";
    }
}

// The bubbles of drives that still have warnings (or could not be read): a
// drive without warnings now has nothing left to replace.
std::vector<DriveBubble> BubblesToKeep(const std::vector<DriveBubble>& bubbles,
                                       const std::vector<CurrentWarning>& current,
                                       const std::vector<DriveIdentity>& unread) {
    std::vector<DriveBubble> kept;
    for (const DriveBubble& bubble : bubbles) {
        const auto isDrive = [&bubble](const DriveIdentity& drive) {
            return drive.model == bubble.model && drive.serial == bubble.serial;
        };
        if (std::any_of(unread.begin(), unread.end(), isDrive) ||
            std::any_of(current.begin(), current.end(),
                        [&isDrive](const CurrentWarning& now) { return isDrive(now.identity); })) {
            kept.push_back(bubble);
        }
    }
    return kept;
}

} // namespace

int NotifyOnce(CNotificationSink& sink, const std::string& stateFolder, bool wait,
               std::ostream& err) {
    const int folderFd = open(stateFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0) {
        err << "tolvenar-notify: " << stateFolder << ": " << std::strerror(errno) << "\n";
        return kNotifyIncomplete;
    }
    const std::string statePath = stateFolder + "/" + kNotifiedStateFile;
    const Result<std::string> stateRead =
        ReadRegularFileAt(folderFd, kNotifiedStateFile, kMaxStateBytes, MissingFile::ReadsEmpty);
    std::string stateText = stateRead ? *stateRead : std::string();
    std::string readProblem = stateRead.Problem();
    NotifiedState told;
    if (!stateRead || (!stateText.empty() && !ParseNotifiedState(stateText, told))) {
        readProblem = readProblem.empty() ? "damaged" : readProblem;
        stateText.clear();
        told = NotifiedState();
    }

    std::vector<CurrentWarning> current;
    std::vector<DriveIdentity> unread;
    LoadWarnings(current, unread, err);
    const NotificationPlan plan = PlanNotifications(current, told.warnings, unread);
    NotifiedState state;
    state.warnings = plan.keep;
    state.server = sink.ServerInstance();
    // Numbers of another server's bubbles may belong to other programs now.
    if (told.server == state.server) {
        state.bubbles = BubblesToKeep(told.bubbles, current, unread);
    }
    const std::vector<DriveNews> news = GroupByDrive(plan, current);

    // What is told must be remembered, or every run would tell it again: the
    // state without the news is written first (even when it has not changed:
    // the write is the test), and nothing is sent when that fails.
    std::string written = stateText;
    const auto save = [&](const NotifiedState& what, bool always = false) -> Result<void> {
        const std::string text = FormatNotifiedState(what);
        if (text == written && !always) {
            return {};
        }
        Result<void> saved = WriteFileAtomically(folderFd, kNotifiedStateFile, text);
        if (saved) {
            written = text;
        }
        return saved;
    };
    if (const Result<void> saved = save(state, !news.empty()); !saved) {
        err << "tolvenar-notify: " << statePath << ": cannot be written (" << saved.Problem() << ")"
            << (news.empty() ? "" : "; nothing new is sent") << "\n";
        close(folderFd);
        return kNotifyIncomplete;
    }
    if (!readProblem.empty()) {
        err << "tolvenar-notify: " << statePath << ": " << readProblem
            << "; read as empty and replaced\n";
    }

    int status = kNotifyOk;
    std::set<std::uint32_t> shown;
    for (const DriveNews& drive : news) {
        const auto bubble = std::find_if(
            state.bubbles.begin(), state.bubbles.end(), [&drive](const DriveBubble& b) {
                return b.model == drive.identity.model && b.serial == drive.identity.serial;
            });
        DesktopNotification notification = MakeDriveNotification(drive.identity, drive.warnings);
        notification.replacesId = bubble == state.bubbles.end() ? 0 : bubble->id;
        const Result<std::uint32_t> sent = sink.Send(notification);
        for (const PlannedNotification& planned : drive.send) {
            // Not sent: the user still knows only the older value, if any.
            if (sent) {
                state.warnings.push_back(planned.entry);
            } else if (planned.told) {
                state.warnings.push_back(*planned.told);
            }
        }
        if (!sent) {
            err << "tolvenar-notify: not sent: " << sent.Problem() << "\n";
            status = kNotifyIncomplete;
            continue;
        }
        if (bubble != state.bubbles.end()) {
            bubble->id = *sent;
        } else {
            state.bubbles.push_back({drive.identity.model, drive.identity.serial, *sent});
        }
        shown.insert(*sent);
    }
    if (const Result<void> saved = save(state); !saved) {
        err << "tolvenar-notify: " << statePath << ": " << saved.Problem() << "\n";
        status = kNotifyIncomplete;
    }

    if (wait && !shown.empty()) {
        const std::set<std::uint32_t> gone =
            sink.Await(shown, kWaitLimit, [&err, &status](const std::string& token) {
                if (const Result<void> opened = OpenViewer(token); !opened) {
                    err << "tolvenar-notify: " << opened.Problem() << "\n";
                    status = kNotifyIncomplete;
                }
            });
        // A closed bubble cannot be replaced: the drive's next news is a new one.
        state.bubbles.erase(
            std::remove_if(state.bubbles.begin(), state.bubbles.end(),
                           [&gone](const DriveBubble& b) { return gone.count(b.id) != 0; }),
            state.bubbles.end());
        if (const Result<void> saved = save(state); !saved) {
            err << "tolvenar-notify: " << statePath << ": " << saved.Problem() << "\n";
            status = kNotifyIncomplete;
        }
    }
    close(folderFd);
    return status;
}
