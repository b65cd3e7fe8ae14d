#pragma once

#include "platform/result.h"

#include <string>

struct ScannedDevice;

// The output of one smartctl run that ran to its end.
struct SmartctlRun {
    int exitStatus = 0;
    std::string output;
};

// Where the collector's smartctl data come from; the tests put fakes here.
class CSmartctlSource {
public:
    CSmartctlSource() = default;
    virtual ~CSmartctlSource();
    CSmartctlSource(const CSmartctlSource&) = delete;
    CSmartctlSource& operator=(const CSmartctlSource&) = delete;

    // Each a Failure (one line) when smartctl did not run to its end.

    // smartctl --scan-open --json
    virtual Result<SmartctlRun> Scan() = 0;
    // smartctl --json -a -n standby [-d type] name. Called from several threads at once.
    virtual Result<SmartctlRun> Read(const ScannedDevice& device) = 0;
};
