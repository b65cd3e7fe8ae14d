// The viewer from start to first paint, offscreen, in a program folder of
// 16 demo reports with a collector that ends at once: wall time measured
// from outside, and the peak memory of the process.
#include "bench/timed_run.h"
#include "identify/vendor_identification.h"
#include "report/report_files.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kReports = 16;

class CStartupFolder {
public:
    CStartupFolder() {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") +
                              "/tolvenar-bench-startup-XXXXXX";
        if (mkdtemp(pattern.data()) != nullptr) {
            m_path = pattern;
        }
        const std::string bin = TOLVENAR_BIN_DIR;
        fs::copy_file(TOLVENAR_FIRST_PAINT, m_path + "/tolvenar_first_paint");
        for (const char* name : {kAttributeTableFile, kVendorTableFile}) {
            fs::copy_file(bin + "/" + name, m_path + "/" + name);
        }
        std::vector<fs::path> demo;
        for (const auto& entry :
             fs::directory_iterator(std::string(TOLVENAR_SOURCE_DIR) + "/data/demo")) {
            demo.push_back(entry.path());
        }
        std::sort(demo.begin(), demo.end());
        for (int n = 0; n < kReports && !demo.empty(); ++n) {
            fs::copy_file(demo[static_cast<std::size_t>(n) % demo.size()],
                          m_path + "/" + ReportFileName(n));
        }
        std::ofstream(m_path + "/quelmaro") << "#!/bin/sh\nexit 0\n";
        chmod((m_path + "/quelmaro").c_str(), 0755);
    }
    ~CStartupFolder() {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    CStartupFolder(const CStartupFolder&) = delete;
    CStartupFolder& operator=(const CStartupFolder&) = delete;

    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

void StartToFirstPaint(benchmark::State& state) {
    const CStartupFolder folder;
    double peak = 0;
    for (auto _ : state) {
        const TimedRun run = TimedRun::Run({folder.Path() + "/tolvenar_first_paint"}, folder.Path(),
                                           {"QT_QPA_PLATFORM=offscreen"});
        if (!run.started || run.exitStatus != 0) {
            state.SkipWithError("the viewer did not reach its first paint");
            return;
        }
        state.SetIterationTime(run.wallMs / 1000.0);
        peak = std::max(peak, run.peakRssMb);
    }
    state.counters["peak_MB"] = peak;
}
BENCHMARK(StartToFirstPaint)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace
