#pragma once

#include <string>

struct ScannedDevice;

// The output of one smartctl run.
struct SmartctlRun {
    bool completed = false; // smartctl ran to its end: exitStatus and output hold
    int exitStatus = 0;
    std::string output;
    std::string problem; // why it did not complete, one line
};

// Where the collector's smartctl data come from; the tests put fakes here.
class CSmartctlSource {
public:
    CSmartctlSource() = default;
    virtual ~CSmartctlSource();
    CSmartctlSource(const CSmartctlSource&) = delete;
    CSmartctlSource& operator=(const CSmartctlSource&) = delete;

    // smartctl --scan-open --json
    virtual SmartctlRun Scan() = 0;
    // smartctl --json -a -n standby [-d type] name. Called from several threads at once.
    virtual SmartctlRun Read(const ScannedDevice& device) = 0;
};
