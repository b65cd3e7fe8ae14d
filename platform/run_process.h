#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

struct ProcessRequest {
    // arguments[0] is the program's path, used as given: no search, no shell.
    std::vector<std::string> arguments;
    // The child's whole environment as NAME=value texts; nullopt inherits ours.
    std::optional<std::vector<std::string>> environment;
    // Zero: no limit.
    std::chrono::milliseconds timeLimit{0};
    // True: standard output is collected, standard input and error are
    // /dev/null, and the child leads a process group of its own so that
    // ending it ends whatever it started. False: the child shares our three
    // standard streams and process group (pkexec needs the terminal).
    bool captureOutput = true;
    // True: the child is killed when the calling thread ends, however it
    // ends, so that it never outlives a killed caller.
    bool endWithCaller = false;
    std::size_t maxOutputBytes = 8u * 1024u * 1024u;
};

enum class ProcessEnd {
    Failed,         // could not be started or watched; problem says why
    Exited,         // exitStatus holds its status
    Signalled,      // signal holds the signal that ended it
    TimedOut,       // ended by us at the time limit
    OutputTooLarge, // ended by us when its output passed maxOutputBytes
};

struct ProcessResult {
    ProcessEnd end = ProcessEnd::Failed;
    int exitStatus = 0;
    int signal = 0;
    std::string output;
    std::string problem;
};

// Runs one program and waits for it, at most timeLimit. A child that is still
// running at the limit is sent SIGKILL with its whole process group; if even
// that does not end it within a second (a process stuck inside the kernel on
// a hung drive), it is left behind rather than blocking the caller.
// Safe to call from several threads at once.
ProcessResult RunProcess(const ProcessRequest& request);

// One line saying how a run that gave no usable status ended.
std::string DescribeProcessEnd(const ProcessResult& result);
