#include "collector/smartctl_process.h"

#include "collector/capture_document.h"
#include "collector/device_scan.h"
#include "platform/run_process.h"

extern char** environ;

namespace {

bool IsLocaleVariable(const std::string& entry) {
    for (const char* name : {"LC_ALL=", "LC_MESSAGES=", "LANG=", "LANGUAGE="}) {
        if (entry.rfind(name, 0) == 0) {
            return true;
        }
    }
    return false;
}

} // namespace

CSmartctlProcess::CSmartctlProcess(std::string program, std::chrono::milliseconds timeLimit,
                                   Clock::time_point deadline)
    : m_strProgram(std::move(program)), m_timeLimit(timeLimit), m_deadline(deadline) {
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        if (!IsLocaleVariable(*entry)) {
            m_vecEnvironment.emplace_back(*entry);
        }
    }
    m_vecEnvironment.emplace_back("LC_ALL=C");
}

Result<SmartctlRun> CSmartctlProcess::Scan() {
    return Run({"--scan-open", "--json"}, std::min(m_timeLimit, kScanTimeLimit));
}

Result<SmartctlRun> CSmartctlProcess::Read(const ScannedDevice& device) {
    // -n standby: a drive that sleeps is not woken; smartctl says so and exits.
    std::vector<std::string> arguments = {"--json", "-a", "-n", "standby"};
    if (!device.type.empty()) {
        arguments.insert(arguments.end(), {"-d", device.type});
    }
    arguments.push_back(device.name);
    return Run(std::move(arguments), m_timeLimit);
}

Result<SmartctlRun> CSmartctlProcess::Run(std::vector<std::string> arguments,
                                          std::chrono::milliseconds limit) const {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(m_deadline - Clock::now());
    if (left.count() <= 0) {
        return Failure{"no time was left in the run to read it"};
    }
    ProcessRequest request;
    request.arguments.push_back(m_strProgram);
    request.arguments.insert(request.arguments.end(), arguments.begin(), arguments.end());
    request.environment = m_vecEnvironment;
    request.timeLimit = std::min(limit, left);
    request.maxOutputBytes = kMaxCaptureBytes;
    // A collector killed outright (SIGKILL, no cleanup) takes its smartctl along.
    request.endWithCaller = true;

    const ProcessResult result = RunProcess(request);
    if (result.end != ProcessEnd::Exited) {
        return Failure{"smartctl " + DescribeProcessEnd(result)};
    }
    return SmartctlRun{result.exitStatus, result.output};
}
