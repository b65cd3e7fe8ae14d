// The drive list's rebuild after a collector run: every drive number from 0
// to 1049 tested for a report file, and the model read from each one found.
// The viewer's Refresh does the same; this copy keeps the benchmark free of Qt.
#include "bench/bench_folder.h"
#include "config/ini_store.h"
#include "config/program_folder.h"
#include "report/report_files.h"

#include <benchmark/benchmark.h>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

constexpr int kReportsPresent = 64;

std::vector<std::pair<int, std::string>> ScanLikeRefresh() {
    std::vector<std::pair<int, std::string>> drives;
    for (int n = kFirstDriveNumber; n <= kLastDriveNumber; ++n) {
        const std::string name = ReportFileName(n);
        if (access(ResolveInProgramFolder(name).c_str(), F_OK) != 0) {
            continue;
        }
        CIniStore report;
        report.Open(name.c_str());
        drives.emplace_back(n, report.GetString("HDDINFO::MODEL", ""));
    }
    return drives;
}

void RefreshScan(benchmark::State& state) {
    const CBenchFolder folder(SpreadDriveNumbers(kReportsPresent));
    if (ScanLikeRefresh().size() != kReportsPresent) {
        state.SkipWithError("the scan did not find every report");
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(ScanLikeRefresh());
    }
}
BENCHMARK(RefreshScan)->Unit(benchmark::kMicrosecond);

} // namespace
