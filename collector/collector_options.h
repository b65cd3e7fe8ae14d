#pragma once

#include "platform/result.h"

#include <string>
#include <vector>

struct CollectorOptions {
    enum class Mode { ReadDrives, ConvertFiles, Help, Version };

    Mode mode = Mode::Help;
    std::string outFolder; // empty: the collector's own folder
    std::string smartctl;  // empty: found in the system folders
    std::vector<std::string> captureFiles;
    int timeLimitSeconds = 60;
    // Set on the run that pkexec starts, so that privileges are asked for only once.
    bool noElevate = false;
};

// The longest time limit that --timeout accepts, in seconds.
constexpr int kMaxTimeLimitSeconds = 3600;

// Parses the arguments after the program name. A Failure (one line) for an
// unknown option, a missing or bad value, a stray argument, both or neither
// of -uf and --from-json.
[[nodiscard]] Result<CollectorOptions>
ParseCollectorOptions(const std::vector<std::string>& arguments);

// The text of --help.
std::string CollectorUsage();
