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
    CSmartctlProcess(std::string program, std::chrono::milliseconds timeLimit);

    SmartctlRun Scan() override;
    SmartctlRun Read(const ScannedDevice& device) override;

private:
    SmartctlRun Run(std::vector<std::string> arguments) const;

    std::string m_strProgram;
    std::chrono::milliseconds m_timeLimit;
    std::vector<std::string> m_vecEnvironment;
};
