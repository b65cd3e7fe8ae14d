#include "collector/privilege_elevation.h"

#include "collector/collector_options.h"
#include "collector/system_programs.h"
#include "platform/run_process.h"

#include <cstdlib>
#include <unistd.h>

// The two test hooks exist only in builds with tests: an installed collector
// never lets its environment name the program it runs.
std::string LocatePkexec() {
#ifdef TOLVENAR_COLLECTOR_TEST_HOOKS
    if (const char* named = std::getenv("QUELMARO_PKEXEC")) {
        return named;
    }
#endif
    return LocateProgram("pkexec");
}

bool RunningPrivileged() {
#ifdef TOLVENAR_COLLECTOR_TEST_HOOKS
    const char* assumeUser = std::getenv("QUELMARO_ASSUME_USER");
    if (assumeUser != nullptr && *assumeUser != '\0') {
        return false;
    }
#endif
    return geteuid() == 0;
}

std::vector<std::string> ElevatedCommand(const std::string& pkexec, const std::string& self,
                                         const CollectorOptions& options) {
    return {pkexec,         self,        "-uf",
            "--no-elevate", "--timeout", std::to_string(options.timeLimitSeconds)};
}

Result<int> RunElevated(const std::vector<std::string>& command, int highestOwnStatus) {
    ProcessRequest request;
    request.arguments = command;
    request.captureOutput = false;
    const ProcessResult result = RunProcess(request);
    if (result.end == ProcessEnd::Exited && result.exitStatus >= 0 &&
        result.exitStatus <= highestOwnStatus) {
        return result.exitStatus;
    }
    return Failure{"pkexec did not run the collector with privileges: pkexec " +
                   DescribeProcessEnd(result)};
}
