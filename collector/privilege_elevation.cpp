#include "collector/privilege_elevation.h"

#include "collector/collector_options.h"
#include "collector/system_programs.h"
#include "platform/run_process.h"

#include <cstdlib>
#include <unistd.h>

std::string LocatePkexec() {
    if (const char* named = std::getenv("QUELMARO_PKEXEC")) {
        return named;
    }
    return LocateProgram("pkexec");
}

bool RunningPrivileged() {
    const char* assumeUser = std::getenv("QUELMARO_ASSUME_USER");
    return geteuid() == 0 && (assumeUser == nullptr || *assumeUser == '\0');
}

std::vector<std::string> ElevatedCommand(const std::string& pkexec, const std::string& self,
                                         const CollectorOptions& options) {
    return {pkexec,         self,        "-uf",
            "--no-elevate", "--timeout", std::to_string(options.timeLimitSeconds)};
}

int RunElevated(const std::vector<std::string>& command, std::string& problem) {
    ProcessRequest request;
    request.arguments = command;
    request.captureOutput = false;
    const ProcessResult result = RunProcess(request);
    if (result.end == ProcessEnd::Exited && result.exitStatus >= 0 && result.exitStatus <= 2) {
        return result.exitStatus;
    }
    problem =
        "pkexec did not run the collector with privileges: pkexec " + DescribeProcessEnd(result);
    return 2;
}
