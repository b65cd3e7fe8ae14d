#include "cli/report_command.h"

#include "cli/forget_command.h"
#include "cli/history_command.h"
#include "cli/monitor_command.h"
#include "cli/monitoring_output.h"
#include "cli/report_options.h"
#include "cli/report_output.h"
#include "cli/shown_reports.h"
#include "report/drive_report.h"
#include "report/shown_texts.h"
#include "tolvenar_version.h"

#include <algorithm>

namespace {

const char kUsage[] =
    "Usage: tolvenar-report [--json | --history | --check | --prometheus [--out FILE]]\n"
    "                       [--temperature-limit C] [--max-age AGE] [--vanished-after AGE]\n"
    "                       [--extended-test-age DAYS] [REPORT...]\n"
    "       tolvenar-report --forget SERIAL\n"
    "Shows the S.M.A.R.T. evaluation of drive reports as the Tolvenar viewer does.\n"
    "Without REPORT, every smart_PhysicalDrive<N>.ini of the program folder is shown.\n"
    "  --json      one JSON object per report (with --history: per reading) and line\n"
    "  --history   the drives' readings over time, from the program folder's history\n"
    "  --check     a monitoring-plugin status: a summary line, then one line per\n"
    "              problem; exit 0 OK, 1 WARNING, 2 CRITICAL, 3 UNKNOWN (also for\n"
    "              a usage error; instead of the statuses below)\n"
    "  --prometheus [--out FILE]   metrics in node_exporter's textfile format;\n"
    "              FILE is replaced atomically\n"
    "  --temperature-limit C   warn at C degrees Celsius or more (default 60)\n"
    "  --extended-test-age DAYS   warn when the scheduled self-tests are enabled\n"
    "              and a drive's last extended test lies more power-on days\n"
    "              back (default 60)\n"
    "  --max-age AGE   warn when the newest reading is older (default 3h;\n"
    "              AGE: a number of seconds, or with s, m, h or d)\n"
    "  --vanished-after AGE   warn about a drive the history read during the\n"
    "              last AGE that has no report now (default 7d)\n"
    "  --collection-result RESULT   with --prometheus: how the collection run\n"
    "              ended (systemd's SERVICE_RESULT: success or another word)\n"
    "  --forget SERIAL   remove the drive with this serial number from the\n"
    "              history, so that it is no longer missed\n"
    "  --version   the version\n"
    "  --help   this text\n"
    "Exit status: 0 ok, 1 a named report is missing or unreadable,\n"
    "2 a report has a malformed attribute line, 64 a usage error.\n";

} // namespace

int RunReportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                     bool colour) {
    const ReportOptions options = ParseOptions(args);
    if (options.help) {
        out << kUsage;
        return kExitOk;
    }
    if (options.version) {
        out << "tolvenar-report " << TOLVENAR_VERSION << "\n";
        return kExitOk;
    }
    if (!options.unknownOption.empty()) {
        // A monitoring system reads a plugin's standard output and its exit
        // status: one UNKNOWN line there, the usage text apart.
        const bool check = std::find(args.begin(), args.end(), "--check") != args.end();
        if (check) {
            out << "UNKNOWN: usage error: " << options.unknownOption << "\n";
            out.flush();
        }
        err << "tolvenar-report: unknown option " << options.unknownOption << "\n" << kUsage;
        return check ? kCheckUnknown : kExitUsage;
    }
    if (options.forget) {
        return Forget(*options.forget, out, err);
    }
    int status = kExitOk;
    const std::vector<ShownReport> reports =
        options.named.empty() ? ProgramFolderReports() : NamedReports(options.named, err, status);
    if (options.history) {
        return ShowHistory(reports, options.json, out, err, status);
    }
    if (options.check || options.prometheus) {
        return Monitor(reports, options, out, err, status);
    }
    const CDriveLoader loader;
    bool parseError = false;
    for (const ShownReport& report : reports) {
        const DriveReport drive = loader.Load(report.path, report.shown);
        if (options.json) {
            WriteJson(out, drive);
        } else {
            WriteText(out, drive, colour);
        }
        if (drive.evaluation.parseError) {
            err << report.shown << ": " << kParseErrorMessage << " (ATTR_"
                << drive.evaluation.parseErrorId << ")\n";
            parseError = true;
        }
    }
    out.flush();
    return parseError ? kExitParseError : status;
}
