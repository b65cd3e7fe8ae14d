#include "cli/report_command.h"

#include "cli/drive_report.h"
#include "cli/report_output.h"
#include "config/ini_file.h"
#include "config/program_folder.h"
#include "report/report_files.h"

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

} // namespace

int RunReportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                     bool colour) {
    bool json = false;
    bool optionsEnded = false;
    std::vector<std::string> named;
    for (const std::string& arg : args) {
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg == "--json") {
            json = true;
        } else if (!optionsEnded && (arg == "--help" || arg == "-h")) {
            out << kUsage;
            return kExitOk;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            err << "tolvenar-report: unknown option " << arg << "\n" << kUsage;
            return kExitUsage;
        } else {
            named.push_back(arg);
        }
    }

    // (path to read, name to show)
    std::vector<std::pair<std::string, std::string>> reports;
    int status = kExitOk;
    if (named.empty()) {
        for (int n = kFirstDriveNumber; n <= kLastDriveNumber; ++n) {
            const std::string path = ResolveInProgramFolder(ReportFileName(n));
            if (!path.empty() && access(path.c_str(), F_OK) == 0) {
                reports.emplace_back(path, path);
            }
        }
    } else {
        for (const std::string& name : named) {
            const std::string reason = UnreadableReason(name);
            if (!reason.empty()) {
                err << "tolvenar-report: " << name << ": " << reason << "\n";
                status = kExitUnreadable;
                continue;
            }
            // Named reports are relative to the current directory, as the
            // shell gave them; the store itself only knows the program folder.
            reports.emplace_back(AbsolutePath(name), name);
        }
    }

    bool parseError = false;
    for (const auto& [path, shown] : reports) {
        const DriveReport report = LoadDriveReport(path, shown);
        if (json) {
            WriteJson(out, report);
        } else {
            WriteText(out, report, colour);
        }
        if (report.evaluation.parseError) {
            err << shown << ": " << kParseErrorMessage << " (ATTR_"
                << report.evaluation.parseErrorId << ")\n";
            parseError = true;
        }
    }
    out.flush();
    return parseError ? kExitParseError : status;
}
