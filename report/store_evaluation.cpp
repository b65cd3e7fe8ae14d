#include "report/store_evaluation.h"

#include "config/ini_store.h"

ReportEvaluation EvaluateReportStores(CIniStore& report, CIniStore& table) {
    const KeyReader readReport = [&report](const char* keyPath, const char* defaultText) {
        return std::string(report.GetString(keyPath, defaultText));
    };
    const KeyReader readTable = [&table](const char* keyPath, const char* defaultText) {
        return std::string(table.GetString(keyPath, defaultText));
    };
    return EvaluateReport(readReport, readTable);
}
