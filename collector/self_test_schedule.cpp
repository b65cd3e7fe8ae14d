#include "collector/self_test_schedule.h"

#include "collector/privilege_elevation.h"
#include "collector/self_test_start.h"
#include "collector/smartctl_process.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <set>
#include <sys/stat.h>
#include <thread>

namespace {

void PrintLine(const std::string& line) {
    std::fprintf(stderr, "quelmaro: %s\n", line.c_str());
}

// FNV-1a: the same days for a drive on every machine and in every build.
std::uint32_t SerialHash(const std::string& serial) {
    std::uint32_t hash = 2166136261u;
    for (const char c : serial) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    return hash;
}

constexpr auto kFollowInterval = std::chrono::minutes(1);

// The drives among the reports just written whose self-test still runs:
// among followed, or any when followed is null.
std::set<std::string> StillTesting(const CollectionResult& result,
                                   const std::set<std::string>* followed) {
    std::set<std::string> testing;
    for (const auto& [time, report] : result.written) {
        if ((followed == nullptr || followed->count(report.serialNumber) != 0) && report.selfTest &&
            report.selfTest->inProgress) {
            testing.insert(report.serialNumber);
        }
    }
    return testing;
}

// Every minute one whole collection, until none of followed (any drive,
// when anyDrive) tests or kMaxFollowHours have passed.
void Follow(std::set<std::string> followed, bool anyDrive,
            const std::function<CollectionResult()>& collect) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::hours(kMaxFollowHours);
    while (!followed.empty() && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(kFollowInterval);
        const CollectionResult result = collect();
        for (const std::string& message : result.messages) {
            PrintLine(message);
        }
        followed = StillTesting(result, anyDrive ? nullptr : &followed);
    }
}

} // namespace

bool SelfTestTimerEnabled() {
    for (const char* folder : {"/etc/systemd/system", "/run/systemd/system"}) {
        const std::string link =
            std::string(folder) + "/timers.target.wants/tolvenar-self-test.timer";
        struct stat info {};
        if (lstat(link.c_str(), &info) == 0 && info.st_uid == 0) {
            return true;
        }
    }
    return false;
}

std::string ScheduledSelfTest(const std::string& serial, int weekday, int dayOfMonth) {
    const std::uint32_t hash = SerialHash(serial);
    if (dayOfMonth == 1 + static_cast<int>(hash % 28)) {
        return "long";
    }
    if (weekday == static_cast<int>((hash / 28) % 7)) {
        return "short";
    }
    return std::string();
}

int RunScheduledSelfTests(const std::function<CollectionResult()>& collect) {
    if (!RunningPrivileged()) {
        PrintLine("scheduled self-tests run as root, from tolvenar-self-test.service");
        return 2;
    }
    const std::string program = SystemSmartctl();
    if (program.empty()) {
        PrintLine("smartctl was not found in the system folders; install smartmontools");
        return 2;
    }
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);

    CSmartctlProcess smartctl(program, std::chrono::seconds(60),
                              std::chrono::steady_clock::now() + std::chrono::seconds(100));
    const Result<SmartctlRun> scanRun = smartctl.Scan();
    const Result<DeviceScan> scan =
        scanRun ? ParseDeviceScan(scanRun->output) : Result<DeviceScan>(scanRun.Error());
    if (!scan) {
        PrintLine("the drives could not be scanned: " + scan.Problem());
        return 2;
    }
    int status = 0;
    std::set<std::string> followed;
    for (const ScannedDevice& device : scan->devices) {
        // A drive in standby reads as nothing and is left asleep.
        const auto drive = ReadSelfTestDrive(smartctl, device);
        if (!drive || drive->serial.empty()) {
            continue;
        }
        const std::string kind = ScheduledSelfTest(drive->serial, local.tm_wday, local.tm_mday);
        if (kind.empty()) {
            continue;
        }
        const std::string refusal = SelfTestRefusal(*drive, kind);
        if (!refusal.empty()) {
            // One already running is followed all the same.
            if (SelfTestRefusal(*drive, "abort").empty()) {
                followed.insert(drive->serial);
            }
            PrintLine(refusal);
            continue;
        }
        if (const Result<void> given = GiveSelfTestCommand(smartctl, *drive, kind); !given) {
            PrintLine(given.Problem());
            status = 1;
            continue;
        }
        std::fprintf(stdout, "drive %s (%s): the %s self-test was started\n", drive->serial.c_str(),
                     drive->device.name.c_str(), kind.c_str());
        followed.insert(drive->serial);
    }

    Follow(followed, false, collect);
    return status;
}

int FollowRunningSelfTests(const std::function<CollectionResult()>& collect) {
    if (!RunningPrivileged()) {
        PrintLine("following self-tests runs as root, from tolvenar-self-test-follow.service");
        return 2;
    }
    const CollectionResult first = collect();
    for (const std::string& message : first.messages) {
        PrintLine(message);
    }
    Follow(StillTesting(first, nullptr), true, collect);
    return first.exitStatus;
}
