// The built quelmaro run against a fake smartctl: a script that answers from
// canned files beside it, after a chosen delay and with a chosen exit status.

#include "cli/report_command.h"
#include "collector_test_support.h"
#include "config/program_folder.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <nlohmann/json.hpp>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Answers --scan-open from scan.json and a read of /dev/NAME from NAME.json,
// with NAME.delay seconds of sleep first and NAME.status as exit status. When
// FAKE_ROOT is set (by the fake pkexec) NAME.root.json is preferred. Each
// call's arguments are kept in NAME.args, and every call's in all.calls.
const char* const kFakeSmartctl = R"sh(#!/bin/sh
dir=$(dirname "$0")
for last in "$@"; do :; done
case " $* " in
*" --scan-open "*) name=scan ;;
*) name=$(basename "$last") ;;
esac
printf '%s\n' "$*" > "$dir/$name.args"
printf '%s\n' "$*" >> "$dir/all.calls"
echo $$ > "$dir/$name.pid"
if [ -f "$dir/$name.delay" ]; then sleep "$(cat "$dir/$name.delay")"; fi
if [ -n "$FAKE_ROOT" ] && [ -f "$dir/$name.root.json" ]; then
    cat "$dir/$name.root.json"
else
    cat "$dir/$name.json"
fi
if [ -f "$dir/$name.status" ]; then exit "$(cat "$dir/$name.status")"; fi
exit 0
)sh";

// Stands in for pkexec: notes its arguments, then runs them "as root".
const char* const kFakePkexec = R"sh(#!/bin/sh
dir=$(dirname "$0")
printf '%s\n' "$@" >> "$dir/pkexec.calls"
echo ---- >> "$dir/pkexec.calls"
if [ -f "$dir/pkexec.status" ]; then exit "$(cat "$dir/pkexec.status")"; fi
export FAKE_ROOT=1
[ -n "$FAKE_PKEXEC_KEEPS_USER" ] || unset QUELMARO_ASSUME_USER
exec "$@"
)sh";

const char* const kGoodCaptures[] = {
    "smartctl_exporter/ST3500418AS_12.json",
    "smartctl_exporter/WDC_WD20EFRX-68EUZN0_17.json",
    "smartctl_exporter/sat-Seagate_Exos_X16-ST16000NM001G-2KK103-sda.json",
    "smartctl_exporter/sat-Toshiba_X300-TOSHIBA_HDWE160-sdb.json",
    "smartctl_exporter/sat-Samsung_based_SSDs-SAMSUNG_MZ7LH480HAHQ-00005-sda.json",
    "smartctl_exporter/nvme-null-Samsung_SSD_970_EVO_Plus_250GB-nvme0.json",
    "plasma-disks/broken.json",
    "smart-prom-next/sat_xall.json",
};

const char* const kStandby =
    R"j({"smartctl":{"exit_status":2,"messages":[{"string":"Device is in STANDBY mode, exit(2)",)j"
    R"j("severity":"information"}]}})j";

struct RunResult {
    int exitStatus = -1;
    std::string out;
    std::string err;
    double seconds = 0;
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

class QuelmaroEndToEnd : public testing::Test {
protected:
    void SetUp() override {
        m_fake = m_tools / "smartctl";
        WriteText(m_fake, kFakeSmartctl, true);
        WriteText(m_tools / "pkexec", kFakePkexec, true);
        m_out = m_scratch.Path();
    }

    // The fake answers for one device (or "scan").
    void Answer(const std::string& name, const std::string& json, int status = 0, int delay = 0,
                const std::string& suffix = ".json") {
        WriteText(m_tools / (name + suffix), json);
        if (status != 0) {
            WriteText(m_tools / (name + ".status"), std::to_string(status));
        }
        if (delay != 0) {
            WriteText(m_tools / (name + ".delay"), std::to_string(delay));
        }
    }

    void ScanFinds(const std::vector<std::string>& names) {
        std::string devices;
        for (const std::string& name : names) {
            devices += (devices.empty() ? "" : ",") + std::string(R"({"name":"/dev/)") + name +
                       R"(","info_name":"/dev/)" + name + R"(","type":"sat","protocol":"ATA"})";
        }
        Answer("scan", R"({"smartctl":{"exit_status":0},"devices":[)" + devices + "]}");
    }

    // Starts quelmaro with the arguments, its output going to files in the
    // tools folder (numbered by run, so that runs may overlap).
    pid_t Start(std::vector<std::string> arguments,
                const std::map<std::string, std::string>& environment = {}) {
        arguments.insert(arguments.begin(), QUELMARO_BINARY);
        std::vector<std::string> env;
        for (char** entry = environ; *entry != nullptr; ++entry) {
            const std::string text = *entry;
            if (environment.count(text.substr(0, text.find('='))) == 0) {
                env.push_back(text);
            }
        }
        for (const auto& [name, value] : environment) {
            env.push_back(name + "=" + value);
        }
        std::vector<char*> argv;
        for (std::string& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        std::vector<char*> envp;
        for (std::string& entry : env) {
            envp.push_back(entry.data());
        }
        envp.push_back(nullptr);

        ++m_runs;
        const std::string outPath = m_tools / ("quelmaro.out" + std::to_string(m_runs));
        const std::string errPath = m_tools / ("quelmaro.err" + std::to_string(m_runs));
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        pid_t pid = -1;
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) {
            pid = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        m_runStart[pid] = {m_runs, Clock::now()};
        return pid;
    }

    RunResult Wait(pid_t pid) {
        RunResult result;
        if (pid > 0) {
            int status = 0;
            waitpid(pid, &status, 0);
            result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        const auto [run, start] = m_runStart[pid];
        result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
        result.out = ReadText(m_tools / ("quelmaro.out" + std::to_string(run)));
        result.err = ReadText(m_tools / ("quelmaro.err" + std::to_string(run)));
        return result;
    }

    RunResult Quelmaro(std::vector<std::string> arguments,
                       const std::map<std::string, std::string>& environment = {}) {
        return Wait(Start(std::move(arguments), environment));
    }

    std::string Report(int number) const {
        return ReadText(m_out + "/smart_PhysicalDrive" + std::to_string(number) + ".ini");
    }
    bool HasReport(int number) const {
        return Exists(m_out + "/smart_PhysicalDrive" + std::to_string(number) + ".ini");
    }
    std::string Model(int number) const {
        return ParseReportText(Report(number))["HDDINFO::MODEL"];
    }
    void PlantOldReports(std::initializer_list<int> numbers) {
        for (int number : numbers) {
            WriteText(m_out + "/smart_PhysicalDrive" + std::to_string(number) + ".ini",
                      "[HDDINFO]\nMODEL=old " + std::to_string(number) + "\n");
        }
    }

    CScratchFolder m_tools;
    CScratchFolder m_scratch;
    std::string m_fake;
    std::string m_out;
    int m_runs = 0;
    std::map<pid_t, std::pair<int, Clock::time_point>> m_runStart;
};

// Alive and not a zombie: a zombie has ended, only its parent has not
// collected it (init in a container may never do so).
bool ProcessRuns(pid_t pid) {
    const std::string stat = ReadText("/proc/" + std::to_string(pid) + "/stat");
    const std::size_t close = stat.rfind(')');
    return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] != 'Z';
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto end = Clock::now() + limit;
    while (!condition()) {
        if (Clock::now() >= end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

TEST_F(QuelmaroEndToEnd, EightDrivesOfOneSecondEachAreReadInParallel) {
    SKIP_WITHOUT_FIXTURES();
    std::vector<std::string> names;
    for (int i = 0; i < 8; ++i) {
        const std::string name = std::string("sd") + static_cast<char>('a' + i);
        names.push_back(name);
        Answer(name, ReadText(CapturePath(kGoodCaptures[i])), 0, 1);
    }
    ScanFinds(names);

    const RunResult run =
        Quelmaro({"-uf", "--out", m_out, "--smartctl", m_fake, "--timeout", "20"});
    std::printf("8 drives of 1 s each took %.2f s\n", run.seconds);
    RecordProperty("parallel_seconds", std::to_string(run.seconds));

    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_LT(run.seconds, 6.0) << "the reads did not overlap";
    for (int i = 0; i < 8; ++i) {
        EXPECT_TRUE(HasReport(i)) << i;
    }
    EXPECT_EQ(Model(0), "ST3500418AS");
    EXPECT_EQ(Model(5), "Samsung SSD 970 EVO Plus 250GB");
    EXPECT_EQ(Model(7), "OCZ-VERTEX2");
    EXPECT_EQ(ReadText(m_tools / "sda.args"), "--json -a -n standby -d sat /dev/sda\n");
    EXPECT_EQ(ReadText(m_tools / "scan.args"), "--scan-open --json\n");
}

TEST_F(QuelmaroEndToEnd, HangingSmartctlIsEndedAtTheLimitAndTheOthersAreWritten) {
    SKIP_WITHOUT_FIXTURES();
    ScanFinds({"sda", "sdb", "sdc"});
    Answer("sda", ReadText(CapturePath(kGoodCaptures[0])));
    Answer("sdb", ReadText(CapturePath(kGoodCaptures[1])), 0, 60);
    Answer("sdc", ReadText(CapturePath(kGoodCaptures[2])));

    const RunResult run = Quelmaro({"-uf", "--out", m_out, "--smartctl", m_fake, "--timeout", "2"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_LT(run.seconds, 10.0);
    EXPECT_GE(run.seconds, 1.9);
    const auto lines = Lines(run.err);
    ASSERT_EQ(lines.size(), 1u) << run.err;
    EXPECT_NE(lines[0].find("/dev/sdb"), std::string::npos);
    EXPECT_NE(lines[0].find("time limit"), std::string::npos);
    EXPECT_TRUE(HasReport(0));
    EXPECT_FALSE(HasReport(1));
    EXPECT_TRUE(HasReport(2));
}

TEST_F(QuelmaroEndToEnd, PermissionDeniedWithoutPkexecExitsTwoAndKeepsOldReports) {
    SKIP_WITHOUT_FIXTURES();
    Answer("scan", ReadText(CapturePath("smart-prom-next/nvme_scan_open_error.json")));
    PlantOldReports({0, 4});
    const RunResult run = Quelmaro({"-uf", "--out", m_out, "--smartctl", m_fake},
                                   {{"QUELMARO_ASSUME_USER", "1"}, {"QUELMARO_PKEXEC", ""}});
    EXPECT_EQ(run.exitStatus, 2);
    const auto lines = Lines(run.err);
    ASSERT_EQ(lines.size(), 1u) << run.err;
    EXPECT_NE(lines[0].find("root"), std::string::npos);
    EXPECT_EQ(Model(0), "old 0");
    EXPECT_EQ(Model(4), "old 4");
}

TEST_F(QuelmaroEndToEnd, PermissionDeniedAsksPkexecToRunItselfWithNothingTheUserNamed) {
    SKIP_WITHOUT_FIXTURES();
    Answer("scan", ReadText(CapturePath("smart-prom-next/nvme_scan_open_error.json")));
    WriteText(m_tools / "pkexec.status", "1");
    const RunResult run =
        Quelmaro({"-uf", "--smartctl", m_fake, "--timeout", "5"},
                 {{"QUELMARO_ASSUME_USER", "1"}, {"QUELMARO_PKEXEC", m_tools / "pkexec"}});
    EXPECT_EQ(run.exitStatus, 1) << "the privileged run's status";
    const std::vector<std::string> expected = {QUELMARO_BINARY, "-uf", "--no-elevate",
                                               "--timeout",     "5",   "----"};
    EXPECT_EQ(Lines(ReadText(m_tools / "pkexec.calls")), expected);

    // A folder of the user's choice cannot be handed on: said, not ignored.
    const RunResult out =
        Quelmaro({"-uf", "--out", m_out, "--smartctl", m_fake},
                 {{"QUELMARO_ASSUME_USER", "1"}, {"QUELMARO_PKEXEC", m_tools / "pkexec"}});
    EXPECT_EQ(out.exitStatus, 2);
    EXPECT_EQ(Lines(out.err).size(), 1u) << out.err;
    EXPECT_EQ(Lines(ReadText(m_tools / "pkexec.calls")).size(), expected.size());
}

TEST_F(QuelmaroEndToEnd, RunThatMayNotElevateNeverAsks) {
    SKIP_WITHOUT_FIXTURES();
    Answer("scan", ReadText(CapturePath("smart-prom-next/nvme_scan_open_error.json")));
    PlantOldReports({0});
    const RunResult run =
        Quelmaro({"-uf", "--no-elevate", "--out", m_out, "--smartctl", m_fake},
                 {{"QUELMARO_ASSUME_USER", "1"}, {"QUELMARO_PKEXEC", m_tools / "pkexec"}});
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
    EXPECT_FALSE(Exists(m_tools / "pkexec.calls"));
    EXPECT_EQ(Model(0), "old 0");
}

TEST_F(QuelmaroEndToEnd, RunStartedByPkexecRefusesEveryOptionThatNamesSomething) {
    SKIP_WITHOUT_FIXTURES();
    ScanFinds({"sda"});
    Answer("sda", ReadText(CapturePath(kGoodCaptures[0])));
    const std::vector<std::vector<std::string>> refused = {
        {"-uf", "--smartctl", m_fake},
        {"-uf", "--out", m_out},
        {"--from-json", CapturePath(kGoodCaptures[0]), "--out", m_out},
        {"-uf", "--unknown"},
        {"--help"},
        {"-uf", ""},
        {"-uf", "--timeout", ""},
    };
    for (const auto& arguments : refused) {
        const RunResult run = Quelmaro(arguments, {{"PKEXEC_UID", "1000"}});
        EXPECT_EQ(run.exitStatus, 2) << arguments[1];
        EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
        EXPECT_NE(run.err.find("refused"), std::string::npos) << run.err;
        EXPECT_FALSE(Exists(m_tools / "scan.args")) << "smartctl ran for " << arguments[1];
        EXPECT_FALSE(HasReport(0)) << arguments[1];
    }
}

TEST_F(QuelmaroEndToEnd, StaleReportsGoOnlyAfterAGoodScan) {
    SKIP_WITHOUT_FIXTURES();
    PlantOldReports({0, 1, 2, 3, 1049});
    ScanFinds({"sda"});
    Answer("scan", "smartctl: unexpected failure", 1);
    RunResult run = Quelmaro({"-uf", "--out", m_out, "--smartctl", m_fake});
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
    for (int number : {0, 1, 2, 3, 1049}) {
        EXPECT_EQ(Model(number), "old " + std::to_string(number));
    }

    ScanFinds({"sda", "sdb"});
    std::remove((m_tools / "scan.status").c_str());
    Answer("sda", ReadText(CapturePath(kGoodCaptures[0])));
    Answer("sdb", ReadText(CapturePath(kGoodCaptures[1])));
    run = Quelmaro({"-uf", "--out", m_out, "--smartctl", m_fake});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(Model(0), "ST3500418AS");
    EXPECT_EQ(Model(1), "WDC WD20EFRX-68EUZN0");
    EXPECT_FALSE(HasReport(2));
    EXPECT_FALSE(HasReport(3));
    EXPECT_FALSE(HasReport(1049));
}

TEST_F(QuelmaroEndToEnd, DriveInStandbyKeepsItsOldReport) {
    SKIP_WITHOUT_FIXTURES();
    PlantOldReports({0, 1});
    ScanFinds({"sda", "sdb"});
    Answer("sda", kStandby, 2);
    Answer("sdb", ReadText(CapturePath(kGoodCaptures[1])));
    const RunResult run = Quelmaro({"-uf", "--out", m_out, "--smartctl", m_fake});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(Model(0), "old 0");
    EXPECT_EQ(Model(1), "WDC WD20EFRX-68EUZN0");
}

TEST_F(QuelmaroEndToEnd, FromJsonNumbersReportsInArgumentOrder) {
    SKIP_WITHOUT_FIXTURES();
    const RunResult run =
        Quelmaro({"--from-json", CapturePath(kGoodCaptures[1]),
                  CapturePath("smartctl_exporter/nonexistent-device.json"),
                  CapturePath(kGoodCaptures[0]), m_tools / "missing.json", "--out", m_out});
    EXPECT_EQ(run.exitStatus, 1);
    const auto lines = Lines(run.err);
    ASSERT_EQ(lines.size(), 2u) << run.err;
    EXPECT_NE(lines[0].find("Unable to detect device type"), std::string::npos);
    EXPECT_NE(lines[1].find("missing.json"), std::string::npos);
    EXPECT_EQ(Model(0), "WDC WD20EFRX-68EUZN0");
    EXPECT_FALSE(HasReport(1));
    EXPECT_EQ(Model(2), "ST3500418AS");
    EXPECT_FALSE(HasReport(3));
}

TEST_F(QuelmaroEndToEnd, FromJsonRefusesAFifoWithoutBlocking) {
    const std::string fifo = m_tools / "capture.json";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    const RunResult run = Quelmaro({"--from-json", fifo, "--out", m_out});
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_NE(run.err.find("not a regular file"), std::string::npos) << run.err;
}

TEST_F(QuelmaroEndToEnd, CommandLineMistakes) {
    const struct {
        std::vector<std::string> arguments;
        int exitStatus;
        const char* errPart;
        const char* outPart;
    } cases[] = {
        {{"--bogus"}, 2, "unknown option", ""},
        {{}, 2, "Usage:", ""},
        {{"-uf", "--out", "/nonexistent/folder"}, 2, "cannot be opened", ""},
        {{"-uf", "--out", ".", "--smartctl", "/nonexistent/smartctl"}, 2, "scan failed", ""},
        {{"--help"}, 0, "", "Usage:"},
    };
    for (const auto& c : cases) {
        const RunResult run = Quelmaro(c.arguments);
        EXPECT_EQ(run.exitStatus, c.exitStatus) << run.err;
        EXPECT_NE(run.err.find(c.errPart), std::string::npos) << run.err;
        EXPECT_NE(run.out.find(c.outPart), std::string::npos) << run.out;
    }
}

TEST_F(QuelmaroEndToEnd, StopSignalEndsEverySmartctlAndKeepsWrittenReports) {
    SKIP_WITHOUT_FIXTURES();
    ScanFinds({"sda", "sdb", "sdc"});
    Answer("sda", ReadText(CapturePath(kGoodCaptures[0])));
    Answer("sdb", ReadText(CapturePath(kGoodCaptures[1])), 0, 30);
    Answer("sdc", ReadText(CapturePath(kGoodCaptures[2])), 0, 30);
    const pid_t quelmaro = Start({"-uf", "--out", m_out, "--smartctl", m_fake});
    ASSERT_TRUE(WaitFor([&] { return HasReport(0) && Exists(m_tools / "sdc.pid"); }, 10s));
    ASSERT_TRUE(WaitFor([&] { return Exists(m_tools / "sdb.pid"); }, 10s));
    kill(quelmaro, SIGTERM);
    const RunResult run = Wait(quelmaro);
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
    for (const char* name : {"sdb", "sdc"}) {
        const pid_t smartctl = std::stoi(ReadText(m_tools / (std::string(name) + ".pid")));
        EXPECT_TRUE(WaitFor([&] { return !ProcessRuns(smartctl); }, 2s)) << name;
    }
    EXPECT_TRUE(HasReport(0));
    for (const auto& entry : std::filesystem::directory_iterator(m_out)) {
        EXPECT_EQ(entry.path().filename().string().find(".tmp-"), std::string::npos)
            << entry.path();
    }
}

// SIGKILL leaves no time to end anything: the smartctl processes must go by
// themselves.
TEST_F(QuelmaroEndToEnd, SmartctlEndsWithACollectorKilledOutright) {
    ScanFinds({"sda"});
    Answer("sda", ReadText(CapturePath(kGoodCaptures[0])), 0, 30);
    const pid_t quelmaro = Start({"-uf", "--out", m_out, "--smartctl", m_fake});
    ASSERT_TRUE(WaitFor([&] { return Exists(m_tools / "sda.pid"); }, 10s));
    const pid_t smartctl = std::stoi(ReadText(m_tools / "sda.pid"));
    const int watch = static_cast<int>(syscall(SYS_pidfd_open, smartctl, 0));
    ASSERT_GE(watch, 0) << "smartctl ended before the collector was killed";
    kill(quelmaro, SIGKILL);
    Wait(quelmaro);
    pollfd ended{watch, POLLIN, 0};
    EXPECT_EQ(poll(&ended, 1, 10000), 1) << "smartctl outlived the collector";
    close(watch);
    kill(-smartctl, SIGKILL); // the fake's sleep, and smartctl itself if it failed
}

TEST_F(QuelmaroEndToEnd, ReportIsWrittenAsSoonAsItsDriveIsReadAndTheRunIsBounded) {
    SKIP_WITHOUT_FIXTURES();
    if (geteuid() != 0) {
        GTEST_SKIP() << "an unprivileged run writes only once it knows no drive refused it";
    }
    std::vector<std::string> names = {"sda"};
    Answer("sda", ReadText(CapturePath(kGoodCaptures[0])));
    for (char letter = 'b'; letter <= 'j'; ++letter) {
        names.push_back(std::string("sd") + letter);
        Answer(names.back(), "{}", 0, 30);
    }
    ScanFinds(names);
    const pid_t quelmaro = Start({"-uf", "--out", m_out, "--smartctl", m_fake, "--timeout", "2"});
    EXPECT_TRUE(WaitFor([&] { return HasReport(0); }, 3s));
    EXPECT_TRUE(ProcessRuns(quelmaro)) << "still waiting for the hung drives";
    const RunResult run = Wait(quelmaro);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_LT(run.seconds, 10.0) << "two waves of hung drives, 2 s each";
}

TEST_F(QuelmaroEndToEnd, OverlappingRunsOnOneFolderTakeTurns) {
    SKIP_WITHOUT_FIXTURES();
    ScanFinds({"sda", "sdb"});
    Answer("sda", ReadText(CapturePath(kGoodCaptures[0])), 0, 2);
    Answer("sdb", ReadText(CapturePath(kGoodCaptures[1])), 0, 2);
    CScratchFolder other;
    WriteText(other / "smartctl", kFakeSmartctl, true);
    WriteText(other / "scan.json", R"({"devices":[{"name":"/dev/sdz","type":"sat"}]})");
    WriteText(other / "sdz.json", ReadText(CapturePath(kGoodCaptures[3])));

    const pid_t first = Start({"-uf", "--out", m_out, "--smartctl", m_fake});
    ASSERT_TRUE(WaitFor([&] { return Exists(m_tools / "sda.pid"); }, 10s));
    const pid_t second = Start({"-uf", "--out", m_out, "--smartctl", other / "smartctl"});
    // The first run's reads take two seconds; meanwhile the second waits.
    std::this_thread::sleep_for(500ms);
    EXPECT_FALSE(Exists(other / "scan.args")) << "the second run began before the first ended";
    const RunResult firstRun = Wait(first);
    const RunResult secondRun = Wait(second);
    EXPECT_EQ(firstRun.exitStatus, 0) << firstRun.err;
    EXPECT_EQ(secondRun.exitStatus, 0) << secondRun.err;
    // The folder holds the second scan's set, not a mixture.
    EXPECT_EQ(Model(0), "TOSHIBA HDWE160");
    EXPECT_FALSE(HasReport(1));
}

// The same drive read twice, three days apart, one counter grown.
std::string LaterCapture(const std::string& capture) {
    nlohmann::json later = nlohmann::json::parse(capture);
    later["local_time"]["time_t"] = later["local_time"]["time_t"].get<std::int64_t>() + 3 * 86400;
    for (auto& attribute : later["ata_smart_attributes"]["table"]) {
        if (attribute["id"] == 5) {
            attribute["raw"]["value"] = 312;
            attribute["raw"]["string"] = "312";
        }
    }
    return later.dump();
}

TEST_F(QuelmaroEndToEnd, CapturesWithTheirOwnTimesBuildAHistoryThatTheReportShows) {
    SKIP_WITHOUT_FIXTURES();
    const std::string first = ReadText(CapturePath(kGoodCaptures[0])); // 304 sectors at 1234567890
    WriteText(m_tools / "a.json", first);
    WriteText(m_tools / "b.json", LaterCapture(first));
    const RunResult run =
        Quelmaro({"--from-json", m_tools / "a.json", m_tools / "b.json", "--out", m_out});
    ASSERT_EQ(run.exitStatus, 0) << run.err;

    SetProgramFolderForTesting(m_out);
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunReportCommand({"--history", "--json"}, out, err, false), 0) << err.str();
    SetProgramFolderForTesting("");
    std::vector<std::string> reallocated;
    for (const std::string& line : Lines(out.str())) {
        const nlohmann::json reading = nlohmann::json::parse(line);
        EXPECT_EQ(reading["model"], "ST3500418AS");
        if (reading["id"] == 5) {
            reallocated.push_back(reading["time"].dump() + " " + reading["raw"].dump());
        }
    }
    EXPECT_EQ(reallocated, (std::vector<std::string>{"1234567890 304", "1234827090 312"}));
}

TEST_F(QuelmaroEndToEnd, DamagedHistoryNeverStopsTheReports) {
    SKIP_WITHOUT_FIXTURES();
    WriteText(m_out + "/history.sqlite", "not a database, but someone's data\n");
    const RunResult run = Quelmaro({"--from-json", CapturePath(kGoodCaptures[0]), "--out", m_out});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
    EXPECT_EQ(Model(0), "ST3500418AS");
    EXPECT_EQ(ReadText(m_out + "/history.sqlite"), "not a database, but someone's data\n");
}

// An ATA drive as smartctl -a shows it, with its self-test status value
// (upper four bits 15: a test runs) and whether it can run self-tests.
std::string SelfTestDrive(const std::string& serial, int status = 0, bool supported = true) {
    return R"({"smartctl":{"exit_status":0},"device":{"protocol":"ATA"},"model_name":"M",)"
           R"("serial_number":")" +
           serial + R"(","ata_smart_data":{"self_test":{"status":{"value":)" +
           std::to_string(status) + R"(}},"capabilities":{"self_tests_supported":)" +
           (supported ? "true" : "false") + "}}}";
}

TEST_F(QuelmaroEndToEnd, SelfTestThroughPkexecReachesSmartctlOnlyWithTheDeviceOfTheSerial) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "the root run of a self-test needs root";
    }
    ScanFinds({"sda", "sdb"});
    Answer("sda", SelfTestDrive("AAA-1"));
    Answer("sdb", SelfTestDrive("BBB-2"));
    // The fake smartctl stands in for systemctl too, noting its arguments.
    const RunResult run = Quelmaro({"--self-test", "short", "--serial", "BBB-2", "--no-elevate"},
                                   {{"PKEXEC_UID", "1000"},
                                    {"QUELMARO_SYSTEM_SMARTCTL", m_fake},
                                    {"QUELMARO_SYSTEM_SYSTEMCTL", m_fake}});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(Lines(ReadText(m_tools / "all.calls")),
              (std::vector<std::string>{
                  "--scan-open --json", "--json -a -n standby -d sat /dev/sda",
                  "--json -a -n standby -d sat /dev/sdb", "-t short -d sat /dev/sdb",
                  "start --no-block tolvenar-self-test-follow.service"}));
}

TEST_F(QuelmaroEndToEnd, SelfTestRefusalsUnderPkexecNeverStartATest) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "the root run of a self-test needs root";
    }
    ScanFinds({"sda", "sdb", "sdc"});
    Answer("sda", SelfTestDrive("IDLE"));
    Answer("sdb", SelfTestDrive("RUNNING", 0xF7));
    Answer("sdc", SelfTestDrive("NOTESTS", 0, false));
    struct Case {
        std::vector<std::string> arguments;
        int exitStatus;
        bool scans; // whether smartctl may be run at all (to scan and read)
    };
    const Case cases[] = {
        {{"--self-test", "short", "--serial", "/dev/sda"}, 2, false},
        {{"--self-test", "short", "--serial", ""}, 2, false},
        {{"--self-test", "short"}, 2, false},
        {{"--self-test", "short", "--serial", "IDLE", "--smartctl", "/bin/true"}, 2, false},
        {{"--self-test", "short", "--serial", "IDLE", "--out", "/tmp"}, 2, false},
        {{"--self-test", "short", "--serial", "IDLE", "/dev/sda"}, 2, false},
        {{"--self-test", "short", "--serial", "IDLE", "--serial", "RUNNING"}, 2, false},
        {{"--self-test", "conveyance", "--serial", "IDLE"}, 2, false},
        {{"--self-test", "short", "--serial", std::string("ID\x01LE")}, 2, false},
        {{"--self-test", "long", "--serial", "UNKNOWN"}, 3, true},
        {{"--self-test", "long", "--serial", "RUNNING"}, 3, true},
        {{"--self-test", "short", "--serial", "NOTESTS"}, 3, true},
        {{"--abort", "--serial", "IDLE"}, 3, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        std::remove((m_tools / "all.calls").c_str());
        std::vector<std::string> arguments = c.arguments;
        arguments.push_back("--no-elevate");
        const RunResult run =
            Quelmaro(arguments, {{"PKEXEC_UID", "1000"}, {"QUELMARO_SYSTEM_SMARTCTL", m_fake}});
        EXPECT_EQ(run.exitStatus, c.exitStatus);
        EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
        const std::string calls = ReadText(m_tools / "all.calls");
        EXPECT_EQ(!calls.empty(), c.scans) << calls;
        for (const std::string& call : Lines(calls)) {
            EXPECT_TRUE(call == "--scan-open --json" || call.rfind("--json -a -n standby ", 0) == 0)
                << call;
        }
    }
}

TEST_F(QuelmaroEndToEnd, UsersAbortAsksPkexecForTheSelfTestActionWithOnlyTheSerial) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "the root run of a self-test needs root";
    }
    ScanFinds({"sda", "sdb"});
    Answer("sda", SelfTestDrive("AAA-1", 0xF3));
    Answer("sdb", SelfTestDrive("BBB-2"));
    const RunResult run =
        Quelmaro({"--abort", "--serial", "AAA-1"}, {{"QUELMARO_ASSUME_USER", "1"},
                                                    {"QUELMARO_PKEXEC", m_tools / "pkexec"},
                                                    {"QUELMARO_SYSTEM_SMARTCTL", m_fake}});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    // pkexec picks the action by the word after the program: --self-test.
    const std::vector<std::string> expected = {QUELMARO_BINARY, "--self-test",  "abort", "--serial",
                                               "AAA-1",         "--no-elevate", "----"};
    EXPECT_EQ(Lines(ReadText(m_tools / "pkexec.calls")), expected);
    EXPECT_EQ(Lines(ReadText(m_tools / "all.calls")).back(), "-X -d sat /dev/sda");

    // The root run's refusal (nothing to abort) reaches the user as it is,
    // not as a failure of pkexec.
    const RunResult idle =
        Quelmaro({"--abort", "--serial", "BBB-2"}, {{"QUELMARO_ASSUME_USER", "1"},
                                                    {"QUELMARO_PKEXEC", m_tools / "pkexec"},
                                                    {"QUELMARO_SYSTEM_SMARTCTL", m_fake}});
    EXPECT_EQ(idle.exitStatus, 3);
    EXPECT_EQ(idle.err, "quelmaro: drive BBB-2 (/dev/sdb): no self-test is running\n");
}

} // namespace
