#include "bench/table_reporter.h"

#include <cstdio>
#include <utility>

CTableReporter::CTableReporter(std::vector<BenchLine> lines, std::vector<BenchRatio> ratios)
    : m_lines(std::move(lines)), m_ratios(std::move(ratios)) {}

void CTableReporter::ReportRuns(const std::vector<Run>& runs) {
    for (const Run& run : runs) {
        std::string name = run.run_name.function_name;
        if (!run.run_name.args.empty()) {
            name += "/" + run.run_name.args;
        }
        if (run.error_occurred) {
            m_mapMs.erase(name);
            m_mapMb.erase(name);
            continue;
        }
        const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
        if (run.run_type == Run::RT_Iteration || median) {
            m_mapMs[name] =
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e3;
            const auto peak = run.counters.find("peak_MB");
            if (peak != run.counters.end()) {
                m_mapMb[name] = peak->second.value;
            }
        }
    }
    ConsoleReporter::ReportRuns(runs);
}

bool CTableReporter::Find(const std::map<std::string, double>& values, const std::string& benchmark,
                          double& value) {
    const auto found = values.find(benchmark);
    if (found == values.end()) {
        return false;
    }
    value = found->second;
    return true;
}

void CTableReporter::Finalize() {
    ConsoleReporter::Finalize();
    std::FILE* out = stdout;
    std::fprintf(out, "\n%-56s %12s %12s  %s\n", "measurement", "result", "target", "verdict");
    for (const BenchLine& line : m_lines) {
        double value = 0;
        if (!Find(line.megabytes ? m_mapMb : m_mapMs, line.benchmark, value)) {
            continue; // filtered out or not built in this configuration
        }
        const char* unit = line.megabytes ? "MB" : "ms";
        char target[32] = "-";
        const char* verdict = "";
        if (line.budget > 0) {
            std::snprintf(target, sizeof target, "<= %g %s", line.budget, unit);
            verdict = value <= line.budget ? "met" : "MISSED";
        }
        std::fprintf(out, "%-56s %9.3f %s %12s  %s\n", line.description.c_str(), value, unit,
                     target, verdict);
    }
    for (const BenchRatio& ratio : m_ratios) {
        double slow = 0;
        double fast = 0;
        if (!Find(m_mapMs, ratio.slow, slow) || !Find(m_mapMs, ratio.fast, fast) || fast <= 0) {
            continue;
        }
        const double times = slow / fast;
        char target[32] = "-";
        bool met = true;
        if (ratio.minimum > 0) {
            std::snprintf(target, sizeof target, ">= %gx", ratio.minimum);
            met = times >= ratio.minimum;
        } else if (ratio.maximum > 0) {
            std::snprintf(target, sizeof target, "<= %gx", ratio.maximum);
            met = times <= ratio.maximum;
        }
        std::fprintf(out, "%-56s %11.2fx %12s  %s\n", ratio.description.c_str(), times, target,
                     ratio.minimum > 0 || ratio.maximum > 0 ? (met ? "met" : "MISSED") : "");
    }
    std::fflush(out);
}
