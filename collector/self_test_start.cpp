#include "collector/self_test_start.h"

#include "collector/capture_document.h"
#include "collector/device_scan.h"
#include "collector/json_access.h"
#include "collector/privilege_elevation.h"
#include "collector/report_text.h"
#include "collector/self_test_log.h"
#include "collector/smartctl_messages.h"
#include "collector/smartctl_process.h"
#include "collector/system_programs.h"
#include "platform/executable_path.h"
#include "platform/program_lookup.h"
#include "platform/run_process.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

bool IsSerial(const std::string& serial) {
    // A path or an option in its place is a mistake, never a serial number.
    if (serial.empty() || serial.size() > kMaxSerialBytes || serial.front() == ' ' ||
        serial.back() == ' ' || serial.front() == '/' || serial.front() == '-') {
        return false;
    }
    for (const char c : serial) {
        if (c < 0x20 || c > 0x7E) {
            return false;
        }
    }
    return true;
}

void PrintLine(const std::string& line) {
    std::fprintf(stderr, "quelmaro: %s\n", line.c_str());
}

// Only the system's smartctl is ever given a self-test command, whoever asks.
const std::vector<std::string> kSystemFolders = {"/usr/sbin", "/usr/bin", "/sbin", "/bin"};
constexpr auto kCommandBound = std::chrono::seconds(100);
constexpr auto kEachRunLimit = std::chrono::seconds(60);

// The program name of the system folders only; in a build with tests, the
// variable testHook may name the tests' fake instead (a build without tests
// has no such hook).
std::string SystemProgram(const char* name, [[maybe_unused]] const char* testHook) {
#ifdef TOLVENAR_COLLECTOR_TEST_HOOKS
    if (const char* named = std::getenv(testHook)) {
        return named;
    }
#endif
    return FindProgramIn(name, kSystemFolders);
}

} // namespace

std::string SystemSmartctl() {
    return SystemProgram("smartctl", "QUELMARO_SYSTEM_SMARTCTL");
}

std::optional<SelfTestDrive> ReadSelfTestDrive(CSmartctlProcess& smartctl, ScannedDevice device) {
    if (!IsDevicePath(device.name) || (!device.type.empty() && !IsDeviceType(device.type))) {
        return std::nullopt;
    }
    SelfTestDrive found;
    found.behindUsbBridge = IsUnknownUsbBridgeText(device.openError);
    if (found.behindUsbBridge) {
        device.type = "sat";
    } else if (!device.openError.empty()) {
        return std::nullopt;
    }
    for (int attempt = 0; attempt < 2; ++attempt) {
        const Result<SmartctlRun> run = smartctl.Read(device);
        if (!run) {
            return std::nullopt;
        }
        Result<nlohmann::json> capture = ParseCaptureDocument(run->output);
        if (!capture) {
            return std::nullopt;
        }
        const int status = CaptureExitStatus(*capture).value_or(run->exitStatus);
        if ((status & kSmartctlNoDataBits) == 0) {
            found.device = device;
            found.capture = std::move(capture.Value());
            found.serial =
                SanitizeReportText(JsonText(JsonMember(&found.capture, "serial_number")));
            return found;
        }
        if (device.type == "sat" || !IsUnknownUsbBridgeText(SmartctlMessage(*capture))) {
            return std::nullopt;
        }
        device.type = "sat";
        found.behindUsbBridge = true;
    }
    return std::nullopt;
}

namespace {

bool Supports(const nlohmann::json& capture, const std::string& kind) {
    const nlohmann::json* ata = JsonMember(JsonMember(&capture, "ata_smart_data"), "capabilities");
    if (ata != nullptr) {
        const nlohmann::json* supported = JsonMember(ata, "self_tests_supported");
        return supported != nullptr && supported->is_boolean() && supported->get<bool>();
    }
    // smartctl reads an NVMe drive's self-test log only when the drive has one.
    if (JsonText(JsonMember(JsonMember(&capture, "device"), "protocol")) == "NVMe") {
        return JsonMember(&capture, "nvme_self_test_log") != nullptr;
    }
    // SCSI drives carry the self-test commands of the standard; the abort needs no support.
    return kind == "abort" ||
           JsonText(JsonMember(JsonMember(&capture, "device"), "protocol")) == "SCSI";
}

} // namespace

std::string SelfTestRefusal(const SelfTestDrive& drive, const std::string& kind) {
    const auto log = ReadSelfTestLog(drive.capture);
    const std::string name = "drive " + drive.serial + " (" + drive.device.name + ")";
    if (drive.behindUsbBridge && !log) {
        return name + ": its USB bridge does not pass self-test commands";
    }
    if (!Supports(drive.capture, kind)) {
        return name + ": the drive does not support self-tests";
    }
    const bool running = log && log->inProgress;
    if (kind != "abort" && running) {
        return name + ": a self-test is already running" +
               (log->remainingPercent ? " (" + std::to_string(*log->remainingPercent) + " % left)"
                                      : std::string());
    }
    if (kind == "abort" && !running) {
        return name + ": no self-test is running";
    }
    return std::string();
}

Result<void> GiveSelfTestCommand(CSmartctlProcess& smartctl, const SelfTestDrive& drive,
                                 const std::string& kind) {
    std::vector<std::string> arguments;
    if (kind == "abort") {
        arguments = {"-X"};
    } else {
        arguments = {"-t", kind};
    }
    if (!drive.device.type.empty()) {
        arguments.insert(arguments.end(), {"-d", drive.device.type});
    }
    arguments.push_back(drive.device.name);
    const Result<SmartctlRun> run = smartctl.Command(arguments);
    if (run && (run->exitStatus & 0x07) == 0) {
        return {};
    }
    return Failure{
        "drive " + drive.serial + " (" + drive.device.name + "): smartctl could not " +
        (kind == "abort" ? "abort the self-test" : "start the " + kind + " self-test") +
        (run ? " (exit status " + std::to_string(run->exitStatus) + ")" : ": " + run.Problem())};
}

namespace {

int Elevate(const SelfTestCommand& command) {
    const std::string pkexec = command.noElevate ? std::string() : LocatePkexec();
    const std::string self = ExecutablePath();
    if (pkexec.empty() || self.empty()) {
        PrintLine("a self-test needs root privileges, and pkexec, which would ask for them, is "
                  "not available: run quelmaro --self-test as root");
        return kSelfTestUsage;
    }
    const Result<int> status = RunElevated(
        {pkexec, self, "--self-test", command.kind, "--serial", command.serial, "--no-elevate"},
        kSelfTestRefused);
    if (!status) {
        PrintLine(status.Problem() + "; no self-test was started");
        return kSelfTestUsage;
    }
    return *status;
}

// The systemctl that starts the unit following a started test.
std::string SystemSystemctl() {
    return SystemProgram("systemctl", "QUELMARO_SYSTEM_SYSTEMCTL");
}

// A started test is followed minutely by its own service, not by this
// command: it ends now, and the service runs under systemd's bounds. Without
// systemd the hourly collection reads the progress.
void StartFollowing() {
    const char* const later = "; its progress is read at the next hourly collection";
    const std::string systemctl = SystemSystemctl();
    if (systemctl.empty()) {
        PrintLine(std::string("systemctl was not found") + later);
        return;
    }
    ProcessRequest request;
    request.arguments = {systemctl, "start", "--no-block", "tolvenar-self-test-follow.service"};
    request.timeLimit = std::chrono::seconds(10);
    const ProcessResult run = RunProcess(request);
    if (run.end != ProcessEnd::Exited || run.exitStatus != 0) {
        PrintLine(std::string("tolvenar-self-test-follow.service could not be started") + later);
    }
}

int RunAsRoot(const SelfTestCommand& command) {
    const std::string program = SystemSmartctl();
    if (program.empty()) {
        PrintLine("smartctl was not found in the system folders; install smartmontools");
        return kSelfTestUsage;
    }
    CSmartctlProcess smartctl(program, kEachRunLimit,
                              std::chrono::steady_clock::now() + kCommandBound);
    const Result<SmartctlRun> scanRun = smartctl.Scan();
    const Result<DeviceScan> scan =
        scanRun ? ParseDeviceScan(scanRun->output) : Result<DeviceScan>(scanRun.Error());
    if (!scan) {
        PrintLine("the drives could not be scanned: " + scan.Problem());
        return kSelfTestUsage;
    }
    for (const ScannedDevice& device : scan->devices) {
        const auto drive = ReadSelfTestDrive(smartctl, device);
        if (!drive || drive->serial != command.serial) {
            continue;
        }
        const std::string refusal = SelfTestRefusal(*drive, command.kind);
        if (!refusal.empty()) {
            PrintLine(refusal);
            return kSelfTestRefused;
        }
        if (const Result<void> given = GiveSelfTestCommand(smartctl, *drive, command.kind);
            !given) {
            PrintLine(given.Problem());
            return kSelfTestFailed;
        }
        std::fprintf(
            stdout, "drive %s (%s): %s\n", drive->serial.c_str(), drive->device.name.c_str(),
            command.kind == "abort" ? "the self-test was aborted"
                                    : ("the " + command.kind + " self-test was started").c_str());
        if (command.kind != "abort") {
            StartFollowing();
        }
        return kSelfTestStarted;
    }
    PrintLine("no drive that can be read has the serial number " + command.serial +
              " (a drive in standby is not woken to look)");
    return kSelfTestRefused;
}

} // namespace

bool IsSelfTestCommand(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        if (argument == "--self-test" || argument == "--abort") {
            return true;
        }
    }
    return false;
}

Result<SelfTestCommand> ParseSelfTestCommand(const std::vector<std::string>& arguments) {
    SelfTestCommand command;
    bool serialGiven = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--self-test" || argument == "--serial") {
            if (i + 1 == arguments.size()) {
                return Failure{argument + " needs a value"};
            }
            const std::string& value = arguments[++i];
            if (argument == "--serial") {
                if (serialGiven) {
                    return Failure{"--serial may be given only once"};
                }
                serialGiven = true;
                command.serial = value;
                continue;
            }
            if (value != "short" && value != "long" && value != "abort") {
                return Failure{"--self-test takes short, long or abort, not \"" +
                               SanitizeReportText(value) + "\""};
            }
            if (!command.kind.empty()) {
                return Failure{"only one self-test command at a time"};
            }
            command.kind = value;
        } else if (argument == "--abort") {
            if (!command.kind.empty()) {
                return Failure{"only one self-test command at a time"};
            }
            command.kind = "abort";
        } else if (argument == "--no-elevate") {
            command.noElevate = true;
        } else {
            return Failure{"a self-test command takes only --serial and --no-elevate; refused: " +
                           SanitizeReportText(argument)};
        }
    }
    if (command.kind.empty() || !serialGiven) {
        return Failure{
            "a self-test command needs --self-test short|long (or --abort) and --serial"};
    }
    if (!IsSerial(command.serial)) {
        return Failure{"\"" + SanitizeReportText(command.serial) +
                       "\" is not a serial number (printable, at most " +
                       std::to_string(kMaxSerialBytes) + " characters, not beginning with / or -)"};
    }
    return command;
}

int RunSelfTestCommand(const std::vector<std::string>& arguments) {
    const Result<SelfTestCommand> parsed = ParseSelfTestCommand(arguments);
    if (!parsed) {
        PrintLine(parsed.Problem());
        return kSelfTestUsage;
    }
    const SelfTestCommand& command = parsed.Value();
    if (!RunningPrivileged()) {
        return Elevate(command);
    }
    return RunAsRoot(command);
}
