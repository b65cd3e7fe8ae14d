#include "cli/report_command.h"

#include "cli/history_output.h"
#include "cli/report_output.h"
#include "config/ini_file.h"
#include "config/program_folder.h"
#include "history/history_store.h"
#include "report/drive_report.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char kUsage[] =
    "Usage: tolvenar-report [--json] [--history] [REPORT...]\n"
    "Shows the S.M.A.R.T. evaluation of drive reports as the Tolvenar viewer does.\n"
    "Without REPORT, every smart_PhysicalDrive<N>.ini of the program folder is shown.\n"
    "  --json      one JSON object per report (with --history: per reading) and line\n"
    "  --history   the drives' readings over time, from the program folder's history\n"
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
    if (!path.empty() && path[0] == '/') {
        return path;
    }
    char* cwd = getcwd(nullptr, 0);
    if (cwd == nullptr) {
        return path;
    }
    std::string absolute = std::string(cwd) + "/" + path;
    std::free(cwd);
    return absolute;
}

struct ReportOptions {
    bool json = false;
    bool history = false;
    bool help = false;
    std::string unknownOption; // the first one, when there is one
    std::vector<std::string> named;
};

ReportOptions ParseOptions(const std::vector<std::string>& args) {
    ReportOptions options;
    bool optionsEnded = false;
    for (const std::string& arg : args) {
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg == "--json") {
            options.json = true;
        } else if (!optionsEnded && arg == "--history") {
            options.history = true;
        } else if (!optionsEnded && (arg == "--help" || arg == "-h")) {
            options.help = true;
            return options;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            options.unknownOption = arg;
            return options;
        } else {
            options.named.push_back(arg);
        }
    }
    return options;
}

// A report to show: the path to read and the name to show.
struct ShownReport {
    std::string path;
    std::string shown;
};

std::vector<ShownReport> ProgramFolderReports() {
    std::vector<ShownReport> reports;
    for (const DriveReportFile& file : ListDriveReports()) {
        reports.push_back({file.path, file.path});
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
        reports.push_back({AbsolutePath(name), name});
    }
    return reports;
}

// --history: each drive once, however many reports name it.
int ShowHistory(const std::vector<ShownReport>& reports, bool json, std::ostream& out,
                std::ostream& err, int status) {
    CHistoryStore store;
    std::string problem;
    const std::string path = ResolveInProgramFolder(kHistoryFileName);
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
        const std::vector<HistoryPoint> points =
            missing ? std::vector<HistoryPoint>() : store.Readings(drive);
        if (json) {
            WriteHistoryJson(out, drive, points);
            continue;
        }
        std::map<int, std::string> descriptions;
        for (const AttributeRow& row : loader.Load(report.path, report.shown).evaluation.rows) {
            descriptions[std::atoi(row.columns[0].c_str())] = row.columns[1];
        }
        WriteHistoryText(out, report.shown, drive, points,
                         missing ? std::nullopt : store.LastSeen(drive), descriptions);
    }
    out.flush();
    return status;
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
