#include "cli/report_command.h"

#include "cli/report_output.h"
#include "config/ini_file.h"
#include "report/drive_report.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char kUsage[] =
    "Usage: tolvenar-report [--json] [REPORT...]\n"
    "Shows the S.M.A.R.T. evaluation of drive reports as the Tolvenar viewer does.\n"
    "Without REPORT, every smart_PhysicalDrive<N>.ini of the program folder is shown.\n"
    "  --json   one JSON object per report and line\n"
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
