#pragma once

#include <benchmark/benchmark.h>
#include <map>
#include <string>
#include <vector>

// One line of the summary: a benchmark ("name" or "name/arg") and, when it
// has one, its budget: in ms for its time, or in MB for its counter peak_MB.
struct BenchLine {
    std::string benchmark;
    std::string description;
    double budget = 0; // 0: no budget
    bool megabytes = false;
};

// A ratio of two benchmarks' times, slow's over fast's, that must reach
// minimum or stay within maximum (0: no such bound).
struct BenchRatio {
    std::string slow;
    std::string fast;
    std::string description;
    double minimum = 0;
    double maximum = 0;
};

// The console output of Google Benchmark, followed by a table of the lines
// and ratios given, each with its budget and whether it was met. With
// repetitions the median is used.
class CTableReporter : public benchmark::ConsoleReporter {
public:
    CTableReporter(std::vector<BenchLine> lines, std::vector<BenchRatio> ratios);

    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

private:
    static bool Find(const std::map<std::string, double>& values, const std::string& benchmark,
                     double& value);

    std::vector<BenchLine> m_lines;
    std::vector<BenchRatio> m_ratios;
    std::map<std::string, double> m_mapMs;
    std::map<std::string, double> m_mapMb;
};
