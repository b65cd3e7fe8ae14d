#include "notify/notify_command.h"

#include "monitor/drive_warning_loader.h"
#include "notify/notification_plan.h"
#include "notify/notified_state.h"
#include "platform/atomic_file.h"
#include "report/drive_report.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Far beyond a state of every warning of a thousand drives.
constexpr off_t kMaxStateBytes = 4 * 1024 * 1024;

// The state file's bytes; empty when it is missing. False (problem set)
// when it exists but cannot be read as a regular file of bounded size.
bool ReadStateFile(int folderFd, std::string& text, std::string& problem) {
    const int fd =
        openat(folderFd, kNotifiedStateFile, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) {
            return true;
        }
        problem = std::strerror(errno);
        return false;
    }
    struct stat info {};
    bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= kMaxStateBytes;
    problem = ok ? "" : "not a regular file of at most 4 MiB";
    char buffer[65536];
    for (ssize_t got = 0; ok && (got = read(fd, buffer, sizeof buffer)) != 0;) {
        if (got < 0 || text.size() > static_cast<std::size_t>(kMaxStateBytes)) {
            problem = got < 0 ? std::strerror(errno) : "grew while read";
            ok = false;
        } else {
            text.append(buffer, static_cast<std::size_t>(got));
        }
    }
    close(fd);
    return ok;
}

} // namespace

int NotifyOnce(CNotificationSink& sink, const std::string& stateFolder, std::ostream& err) {
    const int folderFd = open(stateFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0) {
        err << "tolvenar-notify: " << stateFolder << ": " << std::strerror(errno) << "\n";
        return kNotifyIncomplete;
    }
    const std::string statePath = stateFolder + "/" + kNotifiedStateFile;
    std::string stateText;
    std::string problem;
    std::vector<NotifiedWarning> told;
    if (!ReadStateFile(folderFd, stateText, problem) ||
        (!stateText.empty() && !ParseNotifiedState(stateText, told))) {
        err << "tolvenar-notify: " << statePath << ": " << (problem.empty() ? "damaged" : problem)
            << "; read as empty and replaced\n";
        stateText.clear();
        told.clear();
    }

    const CDriveWarningLoader loader{WarningSettings{}};
    if (!loader.HistoryProblem().empty()) {
        err << "tolvenar-notify: " << loader.HistoryProblem()
            << "; warnings are judged without it\n";
    }
    std::vector<CurrentWarning> current;
    std::vector<DriveIdentity> unread;
    for (const DriveReportFile& file : ListDriveReports()) {
        WarnedDrive drive = loader.Load(file.path, file.path);
        if (drive.report.evaluation.parseError) {
            // Half a report would make its warnings vanish and come back.
            err << "tolvenar-notify: " << file.path << ": malformed attribute line (ATTR_"
                << drive.report.evaluation.parseErrorId << "); its drive is left as it was\n";
            unread.push_back(drive.identity);
            continue;
        }
        for (const DriveWarning& warning : drive.warnings) {
            current.push_back({drive.identity, warning});
        }
    }

    const NotificationPlan plan = PlanNotifications(current, told, unread);
    std::vector<NotifiedWarning> state = plan.keep;
    int status = kNotifyOk;
    for (const PlannedNotification& planned : plan.send) {
        std::string why;
        if (sink.Send(MakeNotification(planned.warning), why)) {
            state.push_back(planned.entry);
            continue;
        }
        err << "tolvenar-notify: not sent: " << why << "\n";
        status = kNotifyIncomplete;
        // Told before, not now: the user still knows the older value.
        if (planned.told) {
            state.push_back(*planned.told);
        }
    }

    const std::string newText = FormatNotifiedState(state);
    if (newText != stateText &&
        !WriteFileAtomically(folderFd, kNotifiedStateFile, newText, problem)) {
        err << "tolvenar-notify: " << statePath << ": " << problem << "\n";
        status = kNotifyIncomplete;
    }
    close(folderFd);
    return status;
}
