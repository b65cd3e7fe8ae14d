#include "bench/table_reporter.h"

#include <cstdio>
#include <utility>

CTableReporter::CTableReporter(std::vector<BenchLine> lines, std::vector<BenchRatio> ratios)
    : m_lines(std::move(lines)), m_ratios(std::move(ratios)) {}

void CTableReporter::ReportRuns(const std::vector<Run>& runs) {
    for (const Run& run : runs) {
        const std::string name = run.run_name.function_name;
        if (run.error_occurred) {
            m_mapMs.erase(name);
            continue;
        }
        const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
        if (run.run_type == Run::RT_Iteration || median) {
            m_mapMs[name] =
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e3;
        }
    }
    ConsoleReporter::ReportRuns(runs);
}

bool CTableReporter::Find(const std::string& benchmark, double& ms) const {
    const auto found = m_mapMs.find(benchmark);
    if (found == m_mapMs.end()) {
        return false;
    }
    ms = found->second;
    return true;
}

void CTableReporter::Finalize() {
    ConsoleReporter::Finalize();
    std::FILE* out = stdout;
    std::fprintf(out, "\n%-56s %12s %12s  %s\n", "measurement", "result", "target", "verdict");
    for (const BenchLine& line : m_lines) {
        double ms = 0;
        if (!Find(line.benchmark, ms)) {
            continue; // filtered out or not built in this configuration
        }
        char target[32] = "-";
        const char* verdict = "";
        if (line.budgetMs > 0) {
            std::snprintf(target, sizeof target, "<= %g ms", line.budgetMs);
            verdict = ms <= line.budgetMs ? "met" : "MISSED";
        }
        std::fprintf(out, "%-56s %9.3f ms %12s  %s\n", line.description.c_str(), ms, target,
                     verdict);
    }
    for (const BenchRatio& ratio : m_ratios) {
        double slow = 0;
        double fast = 0;
        if (!Find(ratio.slow, slow) || !Find(ratio.fast, fast) || fast <= 0) {
            continue;
        }
        const double times = slow / fast;
        char target[32];
        std::snprintf(target, sizeof target, ">= %gx", ratio.minimum);
        std::fprintf(out, "%-56s %11.1fx %12s  %s\n", ratio.description.c_str(), times, target,
                     times >= ratio.minimum ? "met" : "MISSED");
    }
    std::fflush(out);
}
