// The built quelmaro run against a fake smartctl: a script that answers from
// canned files beside it, after a chosen delay and with a chosen exit status.

#include "collector_test_support.h"

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <map>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// Answers --scan-open from scan.json and a read of /dev/NAME from NAME.json,
// with NAME.delay seconds of sleep first and NAME.status as exit status. When
// FAKE_ROOT is set (by the fake pkexec) NAME.root.json is preferred. Each
// call's arguments are kept in NAME.args.
const char* const kFakeSmartctl = R"sh(#!/bin/sh
dir=$(dirname "$0")
for last in "$@"; do :; done
case " $* " in
*" --scan-open "*) name=scan ;;
*) name=$(basename "$last") ;;
esac
printf '%s\n' "$*" > "$dir/$name.args"
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

    RunResult Quelmaro(std::vector<std::string> arguments,
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

        const std::string outPath = m_tools / "quelmaro.out";
        const std::string errPath = m_tools / "quelmaro.err";
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        RunResult result;
        const auto start = Clock::now();
        pid_t pid = -1;
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0) {
            int status = 0;
            waitpid(pid, &status, 0);
            result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
        posix_spawn_file_actions_destroy(&actions);
        result.out = ReadText(outPath);
        result.err = ReadText(errPath);
        return result;
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
};

TEST_F(QuelmaroEndToEnd, EightDrivesOfOneSecondEachAreReadInParallel) {
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

TEST_F(QuelmaroEndToEnd, PermissionDeniedRunsItselfOnceMoreThroughPkexec) {
    Answer("scan", ReadText(CapturePath("smart-prom-next/nvme_scan_open_error.json")));
    Answer("scan", R"({"devices":[{"name":"/dev/nvme0","type":"nvme","protocol":"NVMe"}]})", 0, 0,
           ".root.json");
    Answer("nvme0", ReadText(CapturePath("smart-prom-next/nvme_xall_error.json")));
    Answer("nvme0", ReadText(CapturePath(kGoodCaptures[5])), 0, 0, ".root.json");
    PlantOldReports({0, 1});

    const RunResult run =
        Quelmaro({"-uf", "--out", m_out, "--smartctl", m_fake, "--timeout", "5"},
                 {{"QUELMARO_ASSUME_USER", "1"}, {"QUELMARO_PKEXEC", m_tools / "pkexec"}});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(Model(0), "Samsung SSD 970 EVO Plus 250GB");
    EXPECT_FALSE(HasReport(1));
    const std::vector<std::string> expected = {
        QUELMARO_BINARY, "-uf", "--no-elevate", "--out", m_out,
        "--timeout",     "5",   "--smartctl",   m_fake,  "----"};
    EXPECT_EQ(Lines(ReadText(m_tools / "pkexec.calls")), expected);
}

TEST_F(QuelmaroEndToEnd, RunThroughPkexecNeverAsksAgain) {
    Answer("scan", ReadText(CapturePath("smart-prom-next/nvme_scan_open_error.json")));
    PlantOldReports({0});
    const RunResult run = Quelmaro({"-uf", "--out", m_out, "--smartctl", m_fake},
                                   {{"QUELMARO_ASSUME_USER", "1"},
                                    {"QUELMARO_PKEXEC", m_tools / "pkexec"},
                                    {"FAKE_PKEXEC_KEEPS_USER", "1"}});
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
    EXPECT_EQ(Lines(ReadText(m_tools / "pkexec.calls")).back(), "----");
    std::size_t calls = 0;
    for (const std::string& line : Lines(ReadText(m_tools / "pkexec.calls"))) {
        calls += line == "----";
    }
    EXPECT_EQ(calls, 1u);
    EXPECT_EQ(Model(0), "old 0");
}

TEST_F(QuelmaroEndToEnd, StaleReportsGoOnlyAfterAGoodScan) {
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

} // namespace
