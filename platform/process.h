#pragma once

#include "platform/result.h"

#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

struct SpawnOptions {
    // The child's whole environment as NAME=value texts; nullopt inherits ours.
    std::optional<std::vector<std::string>> environment;
    // True: standard output goes into a pipe (OutputFd), standard input and
    // error are /dev/null. False: the child shares our three streams.
    bool captureOutput = false;
    // With captureOutput: standard error goes into the same pipe, so that a
    // child's one-line reason on either stream can be read.
    bool errorIntoOutput = false;
    // True: the child leads a process group of its own, so that a signal
    // reaches whatever it started too.
    bool ownProcessGroup = false;
    // True: the child is sent SIGKILL when the thread that started it ends,
    // however it ends (even killed with SIGKILL), so that nothing we started
    // outlives us unwatched.
    bool endWithParent = false;
};

// One child process: started at most once, never through a shell (arguments
// go to the program one by one), with every signal at its default and none
// blocked, whatever the parent has set. It is reaped exactly once. An object
// destroyed while its child still runs kills it (with its group when it leads
// one) and reaps it, giving up after a second on a child stuck in the kernel
// (a hung drive) rather than blocking the caller.
class CProcess {
public:
    using Clock = std::chrono::steady_clock;

    CProcess() = default;
    ~CProcess();
    CProcess(const CProcess&) = delete;
    CProcess& operator=(const CProcess&) = delete;

    // arguments[0] is the program's path, used as given: no search. A
    // Failure (one line) when it cannot be started.
    [[nodiscard]] Result<void> Start(const std::vector<std::string>& arguments,
                                     const SpawnOptions& options);

    // The read end of the output pipe, -1 when there is none.
    int OutputFd() const { return m_nOutputFd; }
    void CloseOutput();

    // True once the child has ended; never blocks.
    bool TryReap();
    // Polls until the child has ended or deadline passes; true once it has.
    bool ReapBefore(Clock::time_point deadline);
    // Waits without limit; false only when waiting itself failed.
    bool ReapBlocking();

    // Sends sig to the child, and to its whole group when it leads one.
    void Signal(int sig);
    // SIGKILL, then up to a second for the child to be reaped.
    void Kill();

    bool IsStarted() const { return m_pid > 0; }
    bool HasEnded() const { return m_bEnded; }
    pid_t ProcessId() const { return m_pid; }
    // The raw wait status once ended; -1 when it was reaped elsewhere.
    int WaitStatus() const { return m_nWaitStatus; }

private:
    bool Reap(bool block);

    pid_t m_pid = 0;
    bool m_bOwnGroup = false;
    bool m_bEnded = false;
    int m_nWaitStatus = -1;
    int m_nOutputFd = -1;
};
