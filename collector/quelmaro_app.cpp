#include "collector/quelmaro_app.h"

#include "collector/capture_file_conversion.h"
#include "collector/collector_options.h"
#include "collector/drive_collector.h"
#include "collector/privilege_elevation.h"
#include "collector/report_folder.h"
#include "collector/smartctl_process.h"
#include "collector/system_programs.h"
#include "platform/executable_path.h"

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace {

void PrintLine(const std::string& line) {
    std::fprintf(stderr, "quelmaro: %s\n", line.c_str());
}

int Finish(const CollectionResult& result) {
    for (const std::string& message : result.messages) {
        PrintLine(message);
    }
    return result.exitStatus;
}

std::string AbsolutePath(const std::string& path) {
    char* resolved = realpath(path.c_str(), nullptr);
    if (resolved == nullptr) {
        return path;
    }
    std::string absolute = resolved;
    std::free(resolved);
    return absolute;
}

int ReadDrives(CollectorOptions options, CReportFolder& folder) {
    const std::string smartctl =
        LocateProgram(options.smartctl.empty() ? "smartctl" : options.smartctl);
    if (smartctl.empty()) {
        PrintLine("smartctl was not found; install smartmontools or name it with --smartctl");
        return 2;
    }
    const bool privileged = RunningPrivileged();
    CSmartctlProcess source(smartctl, std::chrono::seconds(options.timeLimitSeconds));
    CDriveCollector collector(source, folder, privileged);
    const CollectionResult result = collector.Run();
    if (!result.needsPrivileges) {
        return Finish(result);
    }

    const std::string pkexec = options.noElevate ? std::string() : LocatePkexec();
    const std::string self = ExecutablePath();
    if (pkexec.empty() || self.empty()) {
        PrintLine("reading the drives needs root privileges, and pkexec, which would ask for "
                  "them, is not available: run quelmaro -uf as root; no report was changed");
        return 2;
    }
    if (!options.smartctl.empty()) {
        options.smartctl = AbsolutePath(smartctl);
    }
    std::string problem;
    const int status =
        RunElevated(ElevatedCommand(pkexec, self, options, AbsolutePath(folder.Path())), problem);
    if (!problem.empty()) {
        PrintLine(problem + "; no report was changed");
    }
    return status;
}

} // namespace

int RunQuelmaro(const std::vector<std::string>& arguments) {
    CollectorOptions options;
    std::string problem;
    if (!ParseCollectorOptions(arguments, options, problem)) {
        PrintLine(problem);
        std::fputs(CollectorUsage().c_str(), stderr);
        return 2;
    }
    if (options.mode == CollectorOptions::Mode::Help) {
        std::fputs(CollectorUsage().c_str(), stdout);
        return 0;
    }

    const std::string outFolder =
        options.outFolder.empty() ? ExecutableFolder() : options.outFolder;
    if (outFolder.empty()) {
        PrintLine("the collector's own folder cannot be found; name one with --out");
        return 2;
    }
    CReportFolder folder(outFolder);
    if (!folder.IsOpen()) {
        PrintLine("the report folder " + outFolder + " cannot be opened: " + folder.Problem());
        return 2;
    }
    if (options.mode == CollectorOptions::Mode::ConvertFiles) {
        return Finish(ConvertCaptureFiles(options.captureFiles, folder));
    }
    return ReadDrives(options, folder);
}
