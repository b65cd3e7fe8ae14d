// tolvenar_bench: Google Benchmark's own output, then a table of the
// measurements against their budgets.
#include "bench/table_reporter.h"

#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    CTableReporter reporter(
        {
            {"EvaluateReportThroughStores", "evaluation of 255 attributes, fresh stores", 0},
            {"EvaluateReportPerKeyBaseline", "same, file re-read and re-parsed for every key", 0},
            {"EvaluateParsedReport", "same, files already parsed (evaluation alone)", 0},
            {"StoreFirstRead", "first read of a report store (read + parse)", 0},
            {"RefreshScan", "refresh scan of drives 0-1049, 64 reports present", 5},
            {"SelectionWithoutWidgets", "selection: panel texts + evaluation, no widgets", 10},
        },
        {
            {"EvaluateReportPerKeyBaseline", "EvaluateReportThroughStores",
             "speed-up of the stores over the per-key baseline", 20},
        });
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
