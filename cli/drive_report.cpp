#include "cli/drive_report.h"

#include "config/ini_store.h"
#include "report/report_files.h"
#include "report/store_evaluation.h"

DriveReport LoadDriveReport(const std::string& path, const std::string& displayName) {
    DriveReport result;
    result.file = displayName;
    CIniStore report;
    report.Open(path.c_str());
    result.panel = ComputeDrivePanel(report);
    CIniStore table;
    table.Open(kAttributeTableFile);
    result.evaluation = EvaluateReportStores(report, table);
    result.temperature = result.evaluation.labels.temperature.value_or("");
    result.powerOnTime = result.evaluation.labels.powerOnTime.value_or("");
    return result;
}
