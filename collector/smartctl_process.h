#pragma once

#include "collector/smartctl_source.h"

#include <chrono>
#include <string>
#include <vector>

// Runs the real smartctl program: never through a shell, every device name
// and type a separate argument, each run ended at the time limit. smartctl's
// messages are asked for in the C locale so that they can be recognised.
class CSmartctlProcess : public CSmartctlSource {
public:
    using Clock = std::chrono::steady_clock;
    // The scan answers at once; one that hangs must leave time for the reads.
    static constexpr std::chrono::milliseconds kScanTimeLimit{20000};

    // Each run ends at timeLimit or at deadline, whichever comes first.
    CSmartctlProcess(std::string program, std::chrono::milliseconds timeLimit,
                     Clock::time_point deadline = Clock::time_point::max());

    Result<SmartctlRun> Scan() override;
    Result<SmartctlRun> Read(const ScannedDevice& device) override;
    // smartctl with the given arguments (fixed options and a scanned device),
    // under the same limits: how a self-test is started or aborted.
    Result<SmartctlRun> Command(std::vector<std::string> arguments) {
        return Run(std::move(arguments), m_timeLimit);
    }

private:
    Result<SmartctlRun> Run(std::vector<std::string> arguments,
                            std::chrono::milliseconds limit) const;

    std::string m_strProgram;
    std::chrono::milliseconds m_timeLimit;
    Clock::time_point m_deadline;
    std::vector<std::string> m_vecEnvironment;
};
