#include "collector/quelmaro_app.h"

#include "collector/capture_file_conversion.h"
#include "collector/collector_options.h"
#include "collector/drive_collector.h"
#include "collector/history_recording.h"
#include "collector/privilege_elevation.h"
#include "collector/report_folder.h"
#include "collector/report_text.h"
#include "collector/self_test_schedule.h"
#include "collector/self_test_start.h"
#include "collector/smartctl_process.h"
#include "collector/system_programs.h"
#include "config/program_folder.h"
#include "platform/executable_path.h"
#include "platform/folder_lock.h"
#include "platform/program_lookup.h"
#include "tolvenar_version.h"

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>

namespace {

void PrintLine(const std::string& line) {
    std::fprintf(stderr, "quelmaro: %s\n", line.c_str());
}

int Finish(const CollectionResult& result) {
    for (const std::string& message : result.messages) {
        PrintLine(message);
    }
    return result.exitStatus;
}

// The whole run, whatever the drives do, ends before the viewer's bound of
// 120 s, so that a run the viewer cannot signal (privileged) ends by itself.
constexpr auto kRunBound = std::chrono::seconds(100);
const char kLockFileName[] = ".quelmaro.lock";
// Where the privileged run started by pkexec looks for smartctl: the
// system's folders only, never a folder a user can name or write.
const std::vector<std::string> kSystemFolders = {"/usr/sbin", "/usr/bin", "/sbin", "/bin"};

// Started through pkexec: the caller is a user, and nothing that user names
// may reach root. Only -uf, --no-elevate and --timeout N are accepted; an
// empty argument is refused like any other, shown as "".
std::optional<std::string> RefusedUnderPkexec(const std::vector<std::string>& arguments) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--timeout" && i + 1 < arguments.size() && !arguments[i + 1].empty()) {
            ++i;
        } else if (argument != "-uf" && argument != "--no-elevate") {
            return argument.empty() ? std::string("\"\"") : argument;
        }
    }
    return std::nullopt;
}

bool StartedThroughPkexec() {
    return std::getenv("PKEXEC_UID") != nullptr;
}

std::string FindSmartctl(const CollectorOptions& options) {
    if (StartedThroughPkexec()) {
        return FindProgramIn("smartctl", kSystemFolders);
    }
    return LocateProgram(options.smartctl.empty() ? "smartctl" : options.smartctl);
}

int RunElevatedCollector(const CollectorOptions& options) {
    const std::string pkexec = options.noElevate ? std::string() : LocatePkexec();
    const std::string self = ExecutablePath();
    if (pkexec.empty() || self.empty()) {
        PrintLine("reading the drives needs root privileges, and pkexec, which would ask for "
                  "them, is not available: run quelmaro -uf as root; no report was changed");
        return 2;
    }
    if (!options.outFolder.empty()) {
        // The privileged run writes only into its own folder; quietly
        // writing elsewhere than asked would be worse than saying so.
        PrintLine("reading the drives needs root privileges, and --out is never passed to the "
                  "privileged run: run quelmaro as root to use it; no report was changed");
        return 2;
    }
    const Result<int> status = RunElevated(ElevatedCommand(pkexec, self, options));
    if (!status) {
        PrintLine(status.Problem() + "; no report was changed");
        return 2;
    }
    return *status;
}

// Runs work with the folder locked: leftovers of a killed run are removed
// first, and the reports work wrote join the history last.
CollectionResult UnderLock(CReportFolder& folder, std::chrono::steady_clock::time_point deadline,
                           const std::function<CollectionResult()>& work) {
    CFolderLock lock;
    CollectionResult result;
    if (const Result<void> locked = lock.Acquire(folder.Fd(), kLockFileName, deadline); !locked) {
        result.messages.push_back(locked.Problem() + "; no report was changed");
        return result;
    }
    // Without the lock (a folder we may not write) another run may be
    // writing its temporary files right now.
    const Result<void> leftovers =
        lock.Held() ? folder.RemoveLeftoverTemporaries() : Result<void>();
    result = work();
    if (!leftovers) {
        result.messages.insert(result.messages.begin(), leftovers.Problem());
    }
    if (const Result<void> recorded = RecordHistory(folder.Path(), result.written); !recorded) {
        result.messages.push_back(recorded.Problem());
    }
    return result;
}

CollectionResult CollectUnderLock(const std::string& smartctl, const CollectorOptions& options,
                                  CReportFolder& folder,
                                  std::chrono::steady_clock::time_point deadline) {
    return UnderLock(folder, deadline, [&] {
        CSmartctlProcess source(smartctl, std::chrono::seconds(options.timeLimitSeconds), deadline);
        CDriveCollector collector(source, folder, RunningPrivileged());
        return collector.Run();
    });
}

int ReadDrives(const CollectorOptions& options, CReportFolder& folder) {
    const auto deadline = std::chrono::steady_clock::now() + kRunBound;
    const std::string smartctl = FindSmartctl(options);
    if (smartctl.empty()) {
        PrintLine("smartctl was not found; install smartmontools or name it with --smartctl");
        return 2;
    }
    CollectionResult result = CollectUnderLock(smartctl, options, folder, deadline);
    if (!result.needsPrivileges) {
        return Finish(result);
    }
    // The lock is released by now: the privileged run takes it itself.
    return RunElevatedCollector(options);
}

// The timer's self-test run, or (followOnly) the run that follows tests
// started by hand: while a test runs, each minute's collection is an
// ordinary one of the report folder, bounded like any other.
int RunScheduledSelfTestsHere(bool followOnly) {
    const std::string outFolder = ReportFolder();
    CReportFolder folder(outFolder);
    if (outFolder.empty() || !folder.IsOpen()) {
        PrintLine("the report folder " + outFolder + " cannot be opened");
        return 2;
    }
    const std::string smartctl = SystemSmartctl();
    const auto collect = [&] {
        CollectorOptions options;
        return CollectUnderLock(smartctl, options, folder,
                                std::chrono::steady_clock::now() + kRunBound);
    };
    return followOnly ? FollowRunningSelfTests(collect) : RunScheduledSelfTests(collect);
}

} // namespace

int RunQuelmaro(const std::vector<std::string>& arguments) {
    // A self-test command has its own strict parser, also under pkexec: the
    // test kind and a serial number, nothing that names a device or a file.
    if (IsSelfTestCommand(arguments)) {
        return RunSelfTestCommand(arguments);
    }
    if (StartedThroughPkexec()) {
        const std::optional<std::string> refused = RefusedUnderPkexec(arguments);
        if (refused) {
            PrintLine("started through pkexec, only -uf, --no-elevate and --timeout are "
                      "accepted; refused: " +
                      SanitizeReportText(*refused));
            return 2;
        }
    }
    if (arguments.size() == 1 && arguments[0] == "--scheduled-self-tests") {
        return RunScheduledSelfTestsHere(false);
    }
    if (arguments.size() == 1 && arguments[0] == "--follow-self-tests") {
        return RunScheduledSelfTestsHere(true);
    }
    const Result<CollectorOptions> parsed = ParseCollectorOptions(arguments);
    if (!parsed) {
        PrintLine(parsed.Problem());
        std::fputs(CollectorUsage().c_str(), stderr);
        return 2;
    }
    const CollectorOptions& options = parsed.Value();
    if (options.mode == CollectorOptions::Mode::Version) {
        std::fputs("quelmaro " TOLVENAR_VERSION "\n", stdout);
        return 0;
    }
    if (options.mode == CollectorOptions::Mode::Help) {
        std::fputs(CollectorUsage().c_str(), stdout);
        return 0;
    }

    const std::string outFolder = options.outFolder.empty() ? ReportFolder() : options.outFolder;
    if (outFolder.empty()) {
        PrintLine("the report folder cannot be found; name one with --out");
        return 2;
    }
    CReportFolder folder(outFolder);
    if (!folder.IsOpen()) {
        PrintLine("the report folder " + outFolder + " cannot be opened: " + folder.Problem());
        return 2;
    }
    if (options.mode == CollectorOptions::Mode::ConvertFiles) {
        return Finish(UnderLock(folder, std::chrono::steady_clock::now() + kRunBound,
                                [&] { return ConvertCaptureFiles(options.captureFiles, folder); }));
    }
    return ReadDrives(options, folder);
}
