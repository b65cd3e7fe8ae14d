#pragma once

#include "collector/device_scan.h"
#include "platform/result.h"

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

class CSmartctlProcess;

// quelmaro --self-test short|long|abort --serial S (--abort --serial S is the
// same as --self-test abort): starts or aborts a drive's own self-test.
struct SelfTestCommand {
    std::string kind; // short, long or abort
    std::string serial;
    bool noElevate = false;
};

// Exit statuses of a self-test command.
constexpr int kSelfTestStarted = 0; // started (or aborted)
constexpr int kSelfTestFailed = 1;  // smartctl could not start or abort it
constexpr int kSelfTestUsage = 2;   // command line, privileges, no smartctl, scan failed
constexpr int kSelfTestRefused = 3; // unknown serial, unsupported, already testing, USB bridge

// The longest serial number accepted; drives report at most 20 (ATA, NVMe) or 40 bytes.
constexpr std::size_t kMaxSerialBytes = 64;

// True when the arguments ask for a self-test command (they name --self-test or --abort).
bool IsSelfTestCommand(const std::vector<std::string>& arguments);

// Accepts exactly one of --self-test KIND or --abort, exactly one --serial S
// and at most --no-elevate; nothing else. A serial is printable ASCII, no
// blank at either end, not beginning with '/' or '-', 1 to kMaxSerialBytes
// bytes. A Failure (one line) for anything else.
[[nodiscard]] Result<SelfTestCommand>
ParseSelfTestCommand(const std::vector<std::string>& arguments);

// Runs the command: as root it scans the drives, reads each one's identity,
// and gives the system smartctl -t short, -t long or -X with the device of
// the matching serial number; a user's run asks for root through pkexec.
// One line on standard error for every refusal; returns the exit status.
int RunSelfTestCommand(const std::vector<std::string>& arguments);

// The system's smartctl, the only one a self-test command is ever given to
// (in a build with tests, QUELMARO_SYSTEM_SMARTCTL may name a fake).
std::string SystemSmartctl();

// A drive as a self-test command sees it: its scanned device (type sat when
// smartctl could not name its USB bridge), smartctl -a's output and serial.
struct SelfTestDrive {
    ScannedDevice device;
    nlohmann::json capture;
    std::string serial;
    bool behindUsbBridge = false;
};

// Reads one scanned device like the collection does (-a -n standby, once
// more as sat behind an unknown USB bridge); nullopt for a device that is
// asleep, unreadable, or whose name or type is odd.
std::optional<SelfTestDrive> ReadSelfTestDrive(CSmartctlProcess& smartctl, ScannedDevice device);

// Why the drive cannot take kind (short, long, abort) now, one line naming
// it: its USB bridge passes no self-test, it has none, one already runs (or,
// to abort, none runs). Empty when it can.
std::string SelfTestRefusal(const SelfTestDrive& drive, const std::string& kind);

// Gives smartctl -t short, -t long or -X with the drive's -d type and device.
// A Failure (one line naming the drive) unless smartctl took it.
[[nodiscard]] Result<void> GiveSelfTestCommand(CSmartctlProcess& smartctl,
                                               const SelfTestDrive& drive, const std::string& kind);
