#include "cli/monitor_command.h"

#include "cli/metrics_file.h"
#include "cli/monitoring_output.h"
#include "cli/report_command.h"
#include "history/history_store.h"
#include "monitor/drive_warning_loader.h"
#include "monitor/monitor_history.h"
#include "report/drive_report.h"
#include "report/drive_warnings.h"

#include <algorithm>
#include <ctime>
#include <sstream>
#include <sys/stat.h>

namespace {

// When the report was written: the time of the drive's reading, as the
// collector leaves a report of a drive in standby untouched.
std::int64_t ReadingTime(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? static_cast<std::int64_t>(info.st_mtime) : -1;
}

std::string FileName(const std::string& path) {
    return path.substr(path.rfind('/') + 1);
}

} // namespace

// --check and --prometheus: every report with its warnings, judged against
// the history; the drives the history misses; the collection's state.
int Monitor(const std::vector<ShownReport>& reports, const ReportOptions& options,
            std::ostream& out, std::ostream& err, int status) {
    WarningSettings settings;
    settings.temperatureLimit = options.temperatureLimit;
    settings.extendedTestAgeDays = options.extendedTestAge;
    const CDriveWarningLoader loader(settings);
    MonitoringState state;
    state.now = std::time(nullptr);
    if (status != kExitOk) {
        state.unknown.push_back("a named report cannot be read");
    }
    CMonitorHistory history;
    std::vector<DriveIdentity> present;
    std::vector<std::string> driveHistoryProblems; // each said once
    for (const ShownReport& report : reports) {
        MonitoredDrive drive;
        static_cast<WarnedDrive&>(drive) = loader.Load(report.path, report.shown);
        drive.reportName = FileName(report.path);
        drive.info = ReadDriveInfo(report.path);
        drive.readingTime = ReadingTime(report.path);
        const int badId =
            drive.report.evaluation.parseError ? drive.report.evaluation.parseErrorId : 0;
        // A file without model, serial or attributes holds no report at all
        // (binary junk, an empty file): the drive's state cannot be told.
        const bool empty = drive.identity.model.empty() && drive.identity.serial.empty() &&
                           drive.report.evaluation.rows.empty();
        drive.reportError = badId != 0 || empty || !CheckReadableReport(report.path);
        if (drive.reportError) {
            const DriveWarning problem = ReportErrorWarning(
                drive.identity, options.named.empty() ? drive.reportName : report.shown, badId);
            state.unknown.push_back(problem.text);
        }
        // Judged without its history: not OK by omission.
        if (!drive.historyProblem.empty() &&
            std::find(driveHistoryProblems.begin(), driveHistoryProblems.end(),
                      drive.historyProblem) == driveHistoryProblems.end()) {
            driveHistoryProblems.push_back(drive.historyProblem);
        }
        present.push_back({drive.identity.model, drive.identity.serial});
        drive.growth = history.ApplyGrowth(drive, state.now);
        drive.lastSelfTestSeen = history.LastCompletedSelfTest(drive);
        state.drives.push_back(std::move(drive));
    }
    // Named reports are a choice of drives: the others are not missed.
    if (options.named.empty()) {
        state.vanished = history.Vanished(present, state.now, options.vanishedAfter);
    }
    // One history that cannot be read is one problem, however many drives
    // met it; a query that failed on a damaged page names what it met.
    std::vector<std::string> historyProblems = driveHistoryProblems;
    if (!history.Problem().empty()) {
        historyProblems = {history.Problem()};
    }
    for (const std::string& problem : historyProblems) {
        // Without the history, vanished drives and growth cannot be told.
        state.unknown.push_back(std::string(kHistoryFileName) + ": " + problem);
    }
    if (reports.empty() && state.unknown.empty() && state.vanished.empty()) {
        state.unknown.push_back("no drive report");
    }
    if (options.check) {
        CheckSettings check;
        check.temperatureLimit = options.temperatureLimit;
        check.maxAge = options.maxAge;
        const int checkStatus = WriteCheck(out, state, check);
        out.flush();
        return checkStatus;
    }
    for (const std::string& problem : historyProblems) {
        err << "tolvenar-report: " << kHistoryFileName << ": " << problem << "\n";
    }
    if (options.collectionResult) {
        const bool succeeded = *options.collectionResult == "success";
        state.collection.lastRunSucceeded = succeeded;
        state.collection.lastSuccess = succeeded
                                           ? std::optional<std::int64_t>(state.now)
                                           : ReadLastSuccess(PreviousMetrics(options.outFile));
    }
    std::ostringstream metrics;
    WritePrometheus(metrics, state);
    if (options.outFile.empty()) {
        out << metrics.str();
        out.flush();
        return status;
    }
    if (const Result<void> written = WriteMetricsFile(options.outFile, metrics.str(), err);
        !written) {
        err << "tolvenar-report: " << written.Problem() << "\n";
        return kExitUnreadable;
    }
    return status;
}
