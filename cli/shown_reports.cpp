#include "cli/shown_reports.h"

#include "cli/report_command.h"
#include "config/ini_file.h"
#include "report/drive_report.h"
#include "report/report_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string AbsolutePath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.string();
}

} // namespace

Result<void> CheckReadableReport(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        return Failure{std::strerror(errno)};
    }
    if (!S_ISREG(info.st_mode)) {
        return Failure{"not a regular file"};
    }
    if (static_cast<unsigned long long>(info.st_size) > CIniFile::kMaxFileSize) {
        return Failure{"larger than 16 MiB"};
    }
    if (access(path.c_str(), R_OK) != 0) {
        return Failure{std::strerror(errno)};
    }
    return {};
}

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
        if (const Result<void> readable = CheckReadableReport(name); !readable) {
            err << "tolvenar-report: " << name << ": " << readable.Problem() << "\n";
            status = kExitUnreadable;
            continue;
        }
        // Named reports are relative to the current directory, as the shell
        // gave them; the store itself only knows the program folder.
        const std::string base = name.substr(name.rfind('/') + 1);
        const int number = DriveNumberOfReportFile(base).value_or(-1);
        reports.push_back({AbsolutePath(name), name, number});
    }
    return reports;
}
