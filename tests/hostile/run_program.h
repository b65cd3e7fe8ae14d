#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

struct ProgramResult {
    bool finished = false; // false: still running at the deadline, then killed
    int status = -1;       // exit status; -1 when it did not exit normally
    int signal = 0;        // the signal that ended it, if any
    std::string out;
    std::string err;
};

// Runs argv[0] (a path) with argv, stdin from /dev/null, its outputs
// captured, in folder as the current directory. runAs >= 0: the child drops to
// that user and group first (only root can). A child still running after
// timeoutSeconds is killed.
ProgramResult RunProgram(const std::vector<std::string>& argv, const std::string& folder,
                         int timeoutSeconds, uid_t runAs = static_cast<uid_t>(-1));
