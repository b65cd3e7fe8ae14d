#include "cli/report_command.h"

#include "cli/history_output.h"
#include "cli/monitoring_output.h"
#include "cli/report_output.h"
#include "config/ini_file.h"
#include "config/program_folder.h"
#include "history/history_store.h"
#include "monitor/drive_warning_loader.h"
#include "platform/atomic_file.h"
#include "report/drive_report.h"
#include "report/drive_warnings.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char kUsage[] =
    "Usage: tolvenar-report [--json | --history | --check | --prometheus [--out FILE]]\n"
    "                       [--temperature-limit C] [REPORT...]\n"
    "Shows the S.M.A.R.T. evaluation of drive reports as the Tolvenar viewer does.\n"
    "Without REPORT, every smart_PhysicalDrive<N>.ini of the program folder is shown.\n"
    "  --json      one JSON object per report (with --history: per reading) and line\n"
    "  --history   the drives' readings over time, from the program folder's history\n"
    "  --check     one monitoring-plugin status line; exit 0 OK, 1 WARNING,\n"
    "              2 CRITICAL, 3 UNKNOWN (instead of the statuses below)\n"
    "  --prometheus [--out FILE]   metrics in node_exporter's textfile format;\n"
    "              FILE is replaced atomically\n"
    "  --temperature-limit C   warn at C degrees Celsius or more (default 60)\n"
    "  --help   this text\n"
    "Exit status: 0 ok, 1 a named report is missing or unreadable,\n"
    "2 a report has a malformed attribute line.\n";

const char kParseErrorMessage[] = "解析エラー。INIファイルが不正です。";

// Why path cannot be read as a report, or an empty text when it can.
std::string UnreadableReason(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        return std::strerror(errno);
    }
    if (!S_ISREG(info.st_mode)) {
        return "not a regular file";
    }
    if (static_cast<unsigned long long>(info.st_size) > CIniFile::kMaxFileSize) {
        return "larger than 16 MiB";
    }
    if (access(path.c_str(), R_OK) != 0) {
        return std::strerror(errno);
    }
    return std::string();
}

std::string AbsolutePath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.string();
}

bool ParseLimit(const std::string& text, int& limit) {
    if (text.empty() || text.size() > 3 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    limit = std::atoi(text.c_str());
    return true;
}

struct ReportOptions {
    bool json = false;
    bool history = false;
    bool check = false;
    bool prometheus = false;
    std::string outFile;
    int temperatureLimit = WarningSettings{}.temperatureLimit;
    bool help = false;
    std::string unknownOption; // the first one, when there is one
    std::vector<std::string> named;
};

ReportOptions ParseOptions(const std::vector<std::string>& args) {
    ReportOptions options;
    const std::pair<const char*, bool ReportOptions::*> flags[] = {
        {"--json", &ReportOptions::json},
        {"--history", &ReportOptions::history},
        {"--check", &ReportOptions::check},
        {"--prometheus", &ReportOptions::prometheus},
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto flag = std::find_if(std::begin(flags), std::end(flags),
                                       [&arg](const auto& f) { return arg == f.first; });
        if (arg == "--") {
            options.named.insert(options.named.end(), args.begin() + i + 1, args.end());
            break;
        } else if (flag != std::end(flags)) {
            options.*(flag->second) = true;
        } else if (arg == "--out" || arg == "--temperature-limit") {
            if (++i == args.size()) {
                options.unknownOption = arg + " without a value";
                return options;
            }
            if (arg == "--out") {
                options.outFile = args[i];
            } else if (!ParseLimit(args[i], options.temperatureLimit)) {
                options.unknownOption = arg + " " + args[i];
                return options;
            }
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
            return options;
        } else if (arg.size() > 1 && arg[0] == '-') {
            options.unknownOption = arg;
            return options;
        } else {
            options.named.push_back(arg);
        }
    }
    return options;
}

// A report to show: the path to read, the name to show, its drive number.
struct ShownReport {
    std::string path;
    std::string shown;
    int driveNumber = -1;
};

std::vector<ShownReport> ProgramFolderReports() {
    std::vector<ShownReport> reports;
    for (const DriveReportFile& file : ListDriveReports()) {
        reports.push_back({file.path, file.path, file.driveNumber});
    }
    return reports;
}

// The named reports that can be read; one line on err for each other one.
std::vector<ShownReport> NamedReports(const std::vector<std::string>& named, std::ostream& err,
                                      int& status) {
    std::vector<ShownReport> reports;
    for (const std::string& name : named) {
        const std::string reason = UnreadableReason(name);
        if (!reason.empty()) {
            err << "tolvenar-report: " << name << ": " << reason << "\n";
            status = kExitUnreadable;
            continue;
        }
        // Named reports are relative to the current directory, as the shell
        // gave them; the store itself only knows the program folder.
        const std::string base = name.substr(name.rfind('/') + 1);
        int number = -1;
        char rest = 0;
        if (std::sscanf(base.c_str(), "smart_PhysicalDrive%d.in%c", &number, &rest) != 2 ||
            rest != 'i') {
            number = -1;
        }
        reports.push_back({AbsolutePath(name), name, number});
    }
    return reports;
}

// --history: each drive once, however many reports name it.
int ShowHistory(const std::vector<ShownReport>& reports, bool json, std::ostream& out,
                std::ostream& err, int status) {
    CHistoryStore store;
    std::string problem;
    const std::string path = ResolveInReportFolder(kHistoryFileName);
    const bool missing = access(path.c_str(), F_OK) != 0;
    if (!missing && !store.Open(path, CHistoryStore::Access::Read, problem)) {
        err << "tolvenar-report: " << problem << "\n";
        return kExitUnreadable;
    }
    if (!problem.empty()) {
        err << "tolvenar-report: " << problem << "\n";
    }
    const CDriveLoader loader;
    std::vector<DriveKey> shown;
    for (const ShownReport& report : reports) {
        const DriveIdentity identity = ReadDriveIdentity(report.path);
        const DriveKey drive{identity.model, identity.serial};
        if (std::find(shown.begin(), shown.end(), drive) != shown.end()) {
            continue;
        }
        shown.push_back(drive);
        const auto read = missing ? Result<std::vector<HistoryPoint>>(std::vector<HistoryPoint>())
                                  : store.Readings(drive);
        const auto lastSeen = missing ? Result<std::optional<std::int64_t>>(std::nullopt)
                                      : store.LastSeen(drive);
        if (!read || !lastSeen) {
            // Never a shorter history, nor none, in place of an unreadable one.
            err << "tolvenar-report: " << report.shown << ": "
                << (read ? lastSeen.Problem() : read.Problem()) << "\n";
            status = kExitUnreadable;
            continue;
        }
        const std::vector<HistoryPoint>& points = read.Value();
        if (json) {
            WriteHistoryJson(out, drive, points);
            continue;
        }
        std::map<int, std::string> descriptions;
        for (const AttributeRow& row : loader.Load(report.path, report.shown).evaluation.rows) {
            descriptions[std::atoi(row.columns[0].c_str())] = row.columns[1];
        }
        WriteHistoryText(out, report.shown, drive, points, lastSeen.Value(), descriptions);
    }
    out.flush();
    return status;
}

// node_exporter reads the folder at any moment: never half a file.
bool WriteMetricsFile(const std::string& file, const std::string& text, std::ostream& err) {
    const std::size_t slash = file.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : file.substr(0, slash + 1);
    const std::string name = file.substr(slash == std::string::npos ? 0 : slash + 1);
    const int folderFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    std::string problem = folderFd < 0 ? std::strerror(errno) : "";
    const bool written =
        folderFd >= 0 && !name.empty() && WriteFileAtomically(folderFd, name, text, problem);
    if (folderFd >= 0) {
        close(folderFd);
    }
    if (!written) {
        err << "tolvenar-report: " << file << ": " << (name.empty() ? "no file name" : problem)
            << "\n";
    }
    return written;
}

std::int64_t ReportAge(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        return -1;
    }
    return std::max<std::int64_t>(0, std::time(nullptr) - info.st_mtime);
}

// --check and --prometheus: every report with its warnings, judged against
// what the history knew before.
int Monitor(const std::vector<ShownReport>& reports, const ReportOptions& options,
            std::ostream& out, std::ostream& err, int status) {
    WarningSettings settings;
    settings.temperatureLimit = options.temperatureLimit;
    const CDriveWarningLoader loader(settings);
    std::vector<MonitoredDrive> drives;
    std::string unknown = status == kExitOk ? "" : "a named report cannot be read";
    std::vector<std::string> told; // history problems, each said once
    for (const ShownReport& report : reports) {
        MonitoredDrive drive{loader.Load(report.path, report.shown), report.driveNumber,
                             ReportAge(report.path)};
        if (drive.report.evaluation.parseError && unknown.empty()) {
            unknown = report.shown + ": " + kParseErrorMessage;
        }
        // Judged without its history: not OK by omission.
        if (!drive.historyProblem.empty() && unknown.empty()) {
            unknown = report.shown + ": " + drive.historyProblem;
        }
        if (!drive.historyProblem.empty() && options.prometheus &&
            std::find(told.begin(), told.end(), drive.historyProblem) == told.end()) {
            err << "tolvenar-report: " << drive.historyProblem << "\n";
            told.push_back(drive.historyProblem);
        }
        drives.push_back(std::move(drive));
    }
    if (reports.empty() && unknown.empty()) {
        unknown = "no drive report";
    }
    if (options.check) {
        const int checkStatus = WriteCheck(out, drives, unknown, options.temperatureLimit);
        out.flush();
        return checkStatus;
    }
    std::ostringstream metrics;
    WritePrometheus(metrics, drives);
    if (options.outFile.empty()) {
        out << metrics.str();
        out.flush();
        return status;
    }
    return WriteMetricsFile(options.outFile, metrics.str(), err) ? status : kExitUnreadable;
}

} // namespace

int RunReportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                     bool colour) {
    const ReportOptions options = ParseOptions(args);
    if (options.help) {
        out << kUsage;
        return kExitOk;
    }
    if (!options.unknownOption.empty()) {
        err << "tolvenar-report: unknown option " << options.unknownOption << "\n" << kUsage;
        return kExitUsage;
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
