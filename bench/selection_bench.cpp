// The viewer's selection handler, offscreen: a drive chosen in the list until
// its panel and table are painted, for a demo report and for a report of all
// 255 attributes.
#include "bench/bench_folder.h"
#include "report/report_files.h"
#include "ui/viewer_dlg.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

constexpr int kFullReport = 0;
constexpr int kDemoReport = 1;

void SelectionFillsTable(benchmark::State& state) {
    const CBenchFolder folder({kFullReport});
    std::filesystem::copy_file(std::string(TOLVENAR_SOURCE_DIR) + "/data/demo/" + ReportFileName(0),
                               folder.ReportPath(kDemoReport));
    // No collector anywhere: the folder has none, and PATH is empty.
    const std::string path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
    setenv("PATH", "", 1);

    const int drive = static_cast<int>(state.range(0));
    int errors = 0;
    {
        CViewerDlg dlg;
        dlg.SetErrorBox([&errors](const QString&) { ++errors; });
        dlg.OnInitDialog();
        dlg.show();
        QApplication::processEvents();
        for (int i = 0; i < dlg.m_lstDrives.GetCount(); ++i) {
            if (dlg.m_lstDrives.GetItemData(i) == drive) {
                dlg.m_lstDrives.setCurrentRow(i);
            }
        }
        const int expectedRows = drive == kFullReport ? 255 : 0;
        if (dlg.m_lstDrives.GetCurSel() < 0 ||
            (expectedRows != 0 && dlg.m_lvAttributes.RowCount() != expectedRows)) {
            state.SkipWithError("the drive was not shown");
        }
        for (auto _ : state) {
            dlg.OnSelChangeDriveList(); // repaints the visible dialog before it returns
        }
    }
    setenv("PATH", path.c_str(), 1);
    if (errors != 0) {
        state.SkipWithError("a parse error was reported");
    }
}
BENCHMARK(SelectionFillsTable)->Arg(kDemoReport)->Arg(kFullReport)->Unit(benchmark::kMillisecond);

} // namespace
