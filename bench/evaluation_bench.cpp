// What selecting a drive costs in the core: the attribute evaluation of a
// report with all 255 attributes, against the per-key baseline that re-reads
// the file for every key as the Windows profile functions do.
#include "bench/bench_folder.h"
#include "bench/per_key_reader.h"
#include "config/ini_file.h"
#include "config/ini_store.h"
#include "report/drive_report.h"
#include "report/report_files.h"
#include "report/store_evaluation.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

constexpr int kDrive = 0;

bool SameRows(const ReportEvaluation& a, const ReportEvaluation& b) {
    if (a.rows.size() != b.rows.size() || a.parseError != b.parseError) {
        return false;
    }
    for (std::size_t i = 0; i < a.rows.size(); ++i) {
        for (int c = 0; c < 5; ++c) {
            if (a.rows[i].columns[c] != b.rows[i].columns[c]) {
                return false;
            }
        }
        if (a.rows[i].rank != b.rows[i].rank) {
            return false;
        }
    }
    return true;
}

ReportEvaluation EvaluateWithStores() {
    CIniStore report;
    report.Open(ReportFileName(kDrive).c_str());
    CIniStore table;
    table.Open(kAttributeTableFile);
    return EvaluateReportStores(report, table);
}

ReportEvaluation EvaluatePerKey(const std::string& reportPath, const std::string& tablePath) {
    const KeyReader readReport = [&reportPath](const char* keyPath, const char* defaultText) {
        return ReadKeyPerCall(reportPath, keyPath, defaultText);
    };
    const KeyReader readTable = [&tablePath](const char* keyPath, const char* defaultText) {
        return ReadKeyPerCall(tablePath, keyPath, defaultText);
    };
    return EvaluateReport(readReport, readTable);
}

void EvaluateReportThroughStores(benchmark::State& state) {
    const CBenchFolder folder({kDrive});
    if (EvaluateWithStores().rows.size() != 255) {
        state.SkipWithError("the report did not give 255 rows");
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(EvaluateWithStores());
    }
}
BENCHMARK(EvaluateReportThroughStores)->Unit(benchmark::kMicrosecond);

void EvaluateReportPerKeyBaseline(benchmark::State& state) {
    const CBenchFolder folder({kDrive});
    const std::string reportPath = folder.ReportPath(kDrive);
    const std::string tablePath = folder.Path() + "/" + kAttributeTableFile;
    if (!SameRows(EvaluatePerKey(reportPath, tablePath), EvaluateWithStores())) {
        state.SkipWithError("the baseline does not evaluate like the stores");
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(EvaluatePerKey(reportPath, tablePath));
    }
}
BENCHMARK(EvaluateReportPerKeyBaseline)->Unit(benchmark::kMicrosecond);

// The evaluation alone, over files already in memory.
void EvaluateParsedReport(benchmark::State& state) {
    const CBenchFolder folder({kDrive});
    CIniFile report;
    CIniFile table;
    if (!report.Load(folder.ReportPath(kDrive)) ||
        !table.Load(folder.Path() + "/" + kAttributeTableFile)) {
        state.SkipWithError("cannot read the benchmark files");
    }
    auto reader = [](const CIniFile& file) {
        return [&file](const char* keyPath, const char* defaultText) {
            const std::string* value =
                file.Find(CIniStore::GetSectionName(keyPath), CIniStore::GetKeyName(keyPath));
            return value != nullptr ? *value : std::string(defaultText);
        };
    };
    const KeyReader readReport = reader(report);
    const KeyReader readTable = reader(table);
    for (auto _ : state) {
        benchmark::DoNotOptimize(EvaluateReport(readReport, readTable));
    }
}
BENCHMARK(EvaluateParsedReport)->Unit(benchmark::kMicrosecond);

// Opening a store and its first read, which reads and parses the file.
void StoreFirstRead(benchmark::State& state) {
    const CBenchFolder folder({kDrive});
    const std::string name = ReportFileName(kDrive);
    for (auto _ : state) {
        CIniStore report;
        report.Open(name.c_str());
        benchmark::DoNotOptimize(report.GetString("HDDINFO::MODEL", ""));
    }
}
BENCHMARK(StoreFirstRead)->Unit(benchmark::kMicrosecond);

// Everything a drive selection computes before it touches a widget: the six
// identity texts and the evaluated table.
void SelectionWithoutWidgets(benchmark::State& state) {
    const CBenchFolder folder({kDrive});
    const std::string name = ReportFileName(kDrive);
    for (auto _ : state) {
        benchmark::DoNotOptimize(CDriveLoader().Load(name, name));
    }
}
BENCHMARK(SelectionWithoutWidgets)->Unit(benchmark::kMicrosecond);

} // namespace
