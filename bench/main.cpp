// tolvenar_bench: Google Benchmark's own output, then a table of the
// measurements against their budgets.
#include "bench/table_reporter.h"

#include <benchmark/benchmark.h>

#ifdef TOLVENAR_BENCH_VIEWER
#include "ui/dialog_units.h"

#include <QApplication>
#include <cstdlib>
#endif

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
#ifdef TOLVENAR_BENCH_VIEWER
    // The viewer's benchmarks need widgets, never a screen.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    QApplication::setFont(DialogFont());
#endif
    CTableReporter reporter(
        {
            {"EvaluateReportThroughStores", "evaluation of 255 attributes, fresh stores", 0},
            {"EvaluateReportPerKeyBaseline", "same, file re-read and re-parsed for every key", 0},
            {"EvaluateParsedReport", "same, files already parsed (evaluation alone)", 0},
            {"StoreFirstRead", "first read of a report store (read + parse)", 0},
            {"RefreshScan", "refresh scan of drives 0-1049, 64 reports present", 5},
            {"SelectionWithoutWidgets", "selection: panel texts + evaluation, no widgets", 10},
            {"SelectionFillsTable/1", "selection to table painted, demo report (offscreen)", 10},
            {"SelectionFillsTable/0", "selection to table painted, 255 attributes (offscreen)", 10},
            {"StartToFirstPaint", "viewer start to first paint, 16 reports (offscreen)", 400},
            {"StartToFirstPaint", "viewer peak memory to first paint", 80, true},
            {"CollectorOneDevice", "collector, 1 fake device of 1 s", 0},
            {"CollectorEightDevices", "collector, 8 fake devices of 1 s each", 0},
            {"CollectorOneByOne", "collector, the 8 devices in 8 runs one by one", 0},
        },
        {
            {"EvaluateReportPerKeyBaseline", "EvaluateReportThroughStores",
             "speed-up of the stores over the per-key baseline", 20},
            {"CollectorEightDevices", "CollectorOneDevice",
             "collector: 8 devices over the slowest single device", 0, 1.3},
            {"CollectorOneByOne", "CollectorEightDevices", "collector: one by one over 8 at once",
             0, 0},
        });
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
