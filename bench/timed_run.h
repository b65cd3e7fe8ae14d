#pragma once

#include <string>
#include <vector>

// One run of another program, as the benchmarks measure it: the wall time
// from before it is started until it has ended, and its peak memory.
struct TimedRun {
    bool started = false;
    int exitStatus = -1; // -1 when it did not exit normally
    double wallMs = 0;
    double peakRssMb = 0;

    // Runs argv[0] (a path) with argv in folder, with the extra environment
    // entries ("NAME=value") added, stdin from /dev/null and stdout into
    // outFile (or /dev/null when empty).
    static TimedRun Run(const std::vector<std::string>& argv, const std::string& folder,
                        const std::vector<std::string>& extraEnvironment = {},
                        const std::string& outFile = {});
};
