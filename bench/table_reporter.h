#pragma once

#include <benchmark/benchmark.h>
#include <map>
#include <string>
#include <vector>

// One line of the summary: a benchmark and, when it has one, its time budget.
struct BenchLine {
    std::string benchmark;
    std::string description;
    double budgetMs = 0; // 0: no budget
};

// A speed-up that must be reached: slow's time over fast's.
struct BenchRatio {
    std::string slow;
    std::string fast;
    std::string description;
    double minimum = 0;
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
    bool Find(const std::string& benchmark, double& ms) const;

    std::vector<BenchLine> m_lines;
    std::vector<BenchRatio> m_ratios;
    std::map<std::string, double> m_mapMs;
};
