#include "cli/report_command.h"

#include "cli/history_output.h"
#include "cli/monitoring_output.h"
#include "cli/report_output.h"
#include "config/ini_file.h"
#include "config/program_folder.h"
#include "history/history_store.h"
#include "monitor/drive_warning_loader.h"
#include "monitor/monitor_history.h"
#include "platform/atomic_file.h"
#include "report/drive_report.h"
#include "report/drive_warnings.h"
#include "tolvenar_version.h"

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

// A duration: seconds, or a number with s, m, h or d.
bool ParseDuration(const std::string& text, std::int64_t& seconds) {
    const std::size_t length = std::min(text.find_first_not_of("0123456789"), text.size());
    if (length == 0 || length > 9 || text.size() - length > 1) {
        return false;
    }
    const std::int64_t number = std::atoll(text.substr(0, length).c_str());
    const char unit = length == text.size() ? 's' : text[length];
    const std::pair<char, std::int64_t> units[] = {{'s', 1}, {'m', 60}, {'h', 3600}, {'d', 86400}};
    for (const auto& [letter, factor] : units) {
        if (unit == letter) {
            seconds = number * factor;
            return true;
        }
    }
    return false;
}

struct ReportOptions {
    bool json = false;
    bool history = false;
    bool check = false;
    bool prometheus = false;
    std::string outFile;
    int temperatureLimit = WarningSettings{}.temperatureLimit;
    int extendedTestAge = WarningSettings{}.extendedTestAgeDays;
    std::int64_t maxAge = CheckSettings{}.maxAge;
    std::int64_t vanishedAfter = kDefaultVanishedAfterSeconds;
    std::optional<std::string> collectionResult;
    std::optional<std::string> forget;
    bool help = false;
    bool version = false;
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
        } else if (arg == "--out" || arg == "--temperature-limit" || arg == "--max-age" ||
                   arg == "--vanished-after" || arg == "--collection-result" || arg == "--forget" ||
                   arg == "--extended-test-age") {
            if (++i == args.size()) {
                options.unknownOption = arg + " without a value";
                return options;
            }
            const std::string& value = args[i];
            bool valid = !value.empty();
            if (arg == "--out") {
                options.outFile = value;
            } else if (arg == "--temperature-limit") {
                valid = ParseLimit(value, options.temperatureLimit);
            } else if (arg == "--extended-test-age") {
                valid = ParseLimit(value, options.extendedTestAge) && options.extendedTestAge > 0;
            } else if (arg == "--max-age") {
                valid = ParseDuration(value, options.maxAge);
            } else if (arg == "--vanished-after") {
                valid = ParseDuration(value, options.vanishedAfter);
            } else if (arg == "--collection-result") {
                options.collectionResult = value;
            } else {
                options.forget = value;
            }
            if (!valid) {
                options.unknownOption = arg + " " + (value.empty() ? "without a value" : value);
                return options;
            }
        } else if (arg == "--version") {
            options.version = true;
            return options;
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
        const auto lastSeen =
            missing ? Result<std::optional<std::int64_t>>(std::nullopt) : store.LastSeen(drive);
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
    if (folderFd >= 0 && !name.empty()) {
        // What a killed run of ours left; never a writer's that is still at work.
        const std::string leftovers = RemoveStaleTemporaries(folderFd, name);
        if (!leftovers.empty()) {
            err << "tolvenar-report: " << leftovers << "\n";
        }
    }
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

// When the report was written: the time of the drive's reading, as the
// collector leaves a report of a drive in standby untouched.
std::int64_t ReadingTime(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? static_cast<std::int64_t>(info.st_mtime) : -1;
}

std::string FileName(const std::string& path) {
    return path.substr(path.rfind('/') + 1);
}

std::string ReadWholeFile(const std::string& path) {
    std::string text;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        return text;
    }
    char buffer[65536];
    ssize_t got = 0;
    while (text.size() < (1u << 24) && (got = read(fd, buffer, sizeof buffer)) > 0) {
        text.append(buffer, static_cast<std::size_t>(got));
    }
    close(fd);
    return text;
}

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
    std::vector<DriveKey> present;
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
        drive.reportError = badId != 0 || empty || !UnreadableReason(report.path).empty();
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
        state.collection.lastSuccess =
            succeeded ? std::optional<std::int64_t>(state.now)
                      : ReadLastSuccess(options.outFile.empty() ? std::string()
                                                                : ReadWholeFile(options.outFile));
    }
    std::ostringstream metrics;
    WritePrometheus(metrics, state);
    if (options.outFile.empty()) {
        out << metrics.str();
        out.flush();
        return status;
    }
    return WriteMetricsFile(options.outFile, metrics.str(), err) ? status : kExitUnreadable;
}

// --forget: the drives with this serial number leave the history.
int Forget(const std::string& serial, std::ostream& out, std::ostream& err) {
    CHistoryStore history;
    std::string problem;
    const std::string path = ResolveInReportFolder(kHistoryFileName);
    // Opening for writing creates a missing history: there is nothing to forget.
    if (access(path.c_str(), F_OK) != 0) {
        err << "tolvenar-report: " << path << ": no history\n";
        return kExitUnreadable;
    }
    if (!history.Open(path, CHistoryStore::Access::Write, problem)) {
        err << "tolvenar-report: " << problem << "\n";
        return kExitUnreadable;
    }
    const auto known = history.KnownDrives();
    if (!known) {
        err << "tolvenar-report: " << known.Problem() << "\n";
        return kExitUnreadable;
    }
    bool found = false;
    for (const KnownDrive& drive : known.Value()) {
        if (drive.drive.serial != serial) {
            continue;
        }
        const auto forgotten = history.Forget(drive.drive);
        if (!forgotten) {
            err << "tolvenar-report: " << forgotten.Problem() << "\n";
            return kExitUnreadable;
        }
        out << "forgotten: " << drive.drive.model << " (" << drive.drive.serial << ")\n";
        found = true;
    }
    if (!found) {
        err << "tolvenar-report: the history knows no drive with serial number " << serial << "\n";
        return kExitUnreadable;
    }
    return kExitOk;
}

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
