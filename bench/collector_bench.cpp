// The collector over fake drives that each take 1 s to read: eight at once
// against one alone (the slowest single device) and against the same eight
// read one run after the other. The fake smartctl answers the scan from
// <its own name>.scan.json, so that copies of one script serve every set of
// devices.
#include "bench/timed_run.h"
#include "support/fixtures_folder.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace {

constexpr int kDevices = 8;

const char kFakeSmartctl[] = R"sh(#!/bin/sh
dir=$(dirname "$0")
case " $* " in
*" --scan-open "*) exec cat "$dir/$(basename "$0").scan.json" ;;
esac
sleep @DELAY@
exec cat "$dir/capture.json"
)sh";

// Seconds each fake read takes: 1, or TOLVENAR_BENCH_READ_DELAY (the smoke
// test sets 0, so that it checks the runs without waiting for them).
std::string FakeSmartctl() {
    const char* delay = std::getenv("TOLVENAR_BENCH_READ_DELAY");
    std::string script = kFakeSmartctl;
    const bool digits = delay != nullptr && *delay != '\0' &&
                        std::string(delay).find_first_not_of("0123456789.") == std::string::npos;
    script.replace(script.find("@DELAY@"), 7, digits ? delay : "1");
    return script;
}

// A folder with a fake smartctl per device set, the capture every drive
// gives, and a folder for the reports.
class CFakeDrives {
public:
    CFakeDrives() {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") +
                              "/tolvenar-bench-collector-XXXXXX";
        if (mkdtemp(pattern.data()) != nullptr) {
            m_path = pattern;
        }
        std::filesystem::create_directory(m_path + "/out");
        std::filesystem::copy_file(FixturesFolder() +
                                       "/smartctl/smartctl_exporter/WDC_WD20EFRX-68EUZN0_17.json",
                                   m_path + "/capture.json");
    }
    ~CFakeDrives() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    CFakeDrives(const CFakeDrives&) = delete;
    CFakeDrives& operator=(const CFakeDrives&) = delete;

    // A smartctl whose scan finds the devices /dev/sd<letter> for each letter.
    std::string Smartctl(const std::string& letters) const {
        const std::string name = "smartctl-" + letters;
        std::string devices;
        for (char letter : letters) {
            devices += std::string(devices.empty() ? "" : ",") + R"({"name":"/dev/sd)" + letter +
                       R"(","info_name":"/dev/sd)" + letter + R"(","type":"sat","protocol":"ATA"})";
        }
        Write(name + ".scan.json", R"({"smartctl":{"exit_status":0},"devices":[)" + devices + "]}");
        Write(name, FakeSmartctl());
        chmod((m_path + "/" + name).c_str(), 0755);
        return m_path + "/" + name;
    }

    // quelmaro -uf with that smartctl; false when it did not read every drive.
    bool Collect(const std::string& smartctl, double& ms) const {
        const TimedRun run = TimedRun::Run({std::string(TOLVENAR_BIN_DIR) + "/quelmaro", "-uf",
                                            "--smartctl", smartctl, "--out", m_path + "/out"},
                                           m_path);
        ms = run.wallMs;
        return run.started && run.exitStatus == 0;
    }

private:
    void Write(const std::string& name, const std::string& text) const {
        std::ofstream(m_path + "/" + name, std::ios::binary) << text;
    }

    std::string m_path;
};

void Measure(benchmark::State& state, const std::vector<std::string>& letterSets) {
    const CFakeDrives drives;
    std::vector<std::string> smartctls;
    for (const std::string& letters : letterSets) {
        smartctls.push_back(drives.Smartctl(letters));
    }
    for (auto _ : state) {
        double total = 0;
        for (const std::string& smartctl : smartctls) {
            double ms = 0;
            if (!drives.Collect(smartctl, ms)) {
                state.SkipWithError("quelmaro did not read every fake drive");
                return;
            }
            total += ms;
        }
        state.SetIterationTime(total / 1000.0);
    }
}

void CollectorOneDevice(benchmark::State& state) {
    Measure(state, {"a"});
}

void CollectorEightDevices(benchmark::State& state) {
    Measure(state, {"abcdefgh"});
}

void CollectorOneByOne(benchmark::State& state) {
    std::vector<std::string> sets;
    for (int i = 0; i < kDevices; ++i) {
        sets.emplace_back(1, static_cast<char>('a' + i));
    }
    Measure(state, sets);
}

// The fake drives answer with a real capture: without the captures these
// rows are left out, with one line saying why.
[[maybe_unused]] const bool kCollectorRows = [] {
    if (FixturesFolder().empty()) {
        std::fprintf(stderr, "collector rows left out: %s\n", FixturesMissing().c_str());
        return false;
    }
    for (const auto& [name, function] : {std::pair{"CollectorOneDevice", &CollectorOneDevice},
                                         std::pair{"CollectorEightDevices", &CollectorEightDevices},
                                         std::pair{"CollectorOneByOne", &CollectorOneByOne}}) {
        benchmark::RegisterBenchmark(name, function)
            ->UseManualTime()
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

} // namespace
