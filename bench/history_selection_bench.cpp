// The viewer against a long history: a drive chosen in the list until its
// table (with the history's tooltips) is painted, and one attribute's chart
// opened and painted. Run only when TOLVENAR_BENCH_HISTORY names a history
// made by tolvenar_history_bench over the demo reports (drive 0 is the demo's
// first drive).
#include "bench/bench_folder.h"
#include "report/report_files.h"
#include "ui/history_window.h"
#include "ui/viewer_dlg.h"

#include <QApplication>
#include <QWidget>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

constexpr int kDemoDrive = 1;

// The bench folder with the demo's first report as drive 1 and the history.
void FillFolder(const CBenchFolder& folder, const std::string& history) {
    namespace fs = std::filesystem;
    fs::copy_file(std::string(TOLVENAR_SOURCE_DIR) + "/data/demo/" + ReportFileName(0),
                  folder.ReportPath(kDemoDrive));
    fs::copy_file(history, folder.Path() + "/" + kHistoryFileName);
    fs::copy_file(std::string(TOLVENAR_BIN_DIR) + "/" + kHistoryWindowModule,
                  folder.Path() + "/" + kHistoryWindowModule);
}

void Run(benchmark::State& state, const std::string& history, bool chart) {
    const CBenchFolder folder({0});
    FillFolder(folder, history);
    const std::string path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
    setenv("PATH", "", 1); // no collector anywhere
    {
        CViewerDlg dlg;
        dlg.SetErrorBox([&state](const QString&) { state.SkipWithError("an error was shown"); });
        dlg.OnInitDialog();
        dlg.show();
        QApplication::processEvents();
        for (int i = 0; i < dlg.m_lstDrives.GetCount(); ++i) {
            if (dlg.m_lstDrives.GetItemData(i) == kDemoDrive) {
                dlg.m_lstDrives.setCurrentRow(i);
            }
        }
        if (dlg.m_lstDrives.GetCurSel() < 0) {
            state.SkipWithError("the drive was not shown");
        }
        const std::string report = folder.ReportPath(kDemoDrive);
        for (auto _ : state) {
            if (!chart) {
                dlg.OnSelChangeDriveList(); // repaints the visible dialog before it returns
                continue;
            }
            const DriveHistory series = LoadDriveHistory(report, 194);
            if (series.points.empty()) {
                state.SkipWithError("the drive has no history");
                break;
            }
            QWidget* window = ShowHistoryWindow(QStringLiteral("194 温度"), series, &dlg);
            if (window == nullptr) {
                state.SkipWithError("the chart did not open");
                break;
            }
            window->repaint();
            delete window;
        }
    }
    setenv("PATH", path.c_str(), 1);
}

const bool kRegistered = [] {
    const char* history = std::getenv("TOLVENAR_BENCH_HISTORY");
    if (history == nullptr || *history == '\0') {
        return false;
    }
    benchmark::RegisterBenchmark("SelectionWithLongHistory", [history](benchmark::State& state) {
        Run(state, history, false);
    })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ChartOfLongHistory", [history](benchmark::State& state) {
        Run(state, history, true);
    })->Unit(benchmark::kMillisecond);
    return true;
}();

} // namespace
