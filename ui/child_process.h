#pragma once

#include "platform/process.h"
#include "platform/result.h"

#include <string>
#include <sys/types.h>
#include <vector>

// One child process, started at most once per object. No shell is involved:
// the program gets its arguments one by one. The child is reaped; an object
// destroyed while its child still runs ends the child first, so no zombie
// and no stray collector outlives the object (short of a child stuck in the
// kernel, which no signal ends: it is left rather than hang the viewer).
class CChildProcess {
public:
    static constexpr unsigned long kInfinite = 0xFFFFFFFFul;

    CChildProcess() = default;
    virtual ~CChildProcess();
    CChildProcess(const CChildProcess&) = delete;
    CChildProcess& operator=(const CChildProcess&) = delete;

    // Runs program (a path) with arguments, in the viewer's current directory
    // and environment. A Failure (one line) when a process was started
    // before or when the program cannot be run.
    [[nodiscard]] Result<void> Start(const std::string& program,
                                     const std::vector<std::string>& arguments);
    // As Start, but the child's standard output and error go into a pipe
    // (its standard input is /dev/null); DrainOutput collects them.
    [[nodiscard]] Result<void> StartCapturing(const std::string& program,
                                              const std::vector<std::string>& arguments);

    // Reads what the child has written so far, without waiting. Only the
    // last kMaxOutputBytes are kept: a child that writes on and on neither
    // blocks nor fills the viewer's memory.
    void DrainOutput();
    const std::string& Output() const { return m_output; }
    static constexpr std::size_t kMaxOutputBytes = 4096;

    // True when the child has ended within milliseconds (kInfinite: no
    // limit); its exit code is then stored in *exitCode when that is given.
    bool Wait(int* exitCode, unsigned long milliseconds);

    // True when the child has ended, without waiting; the exit code as above.
    // A child ended by a signal has the exit code 128 + the signal number.
    bool GetExitCode(int* exitCode);

    // Asks the child to end (SIGTERM).
    void RequestStop();
    // Ends the child at once (SIGKILL) and reaps it, giving up after a
    // second on a child stuck in the kernel, as CProcess::Kill does.
    void ForceStop();
    // RequestStop, up to graceMilliseconds for the child to end, then ForceStop.
    void Terminate(unsigned long graceMilliseconds);

    bool IsStarted() const { return m_process.IsStarted(); }
    pid_t ProcessId() const { return m_process.ProcessId(); }

private:
    Result<void> Start(const std::string& program, const std::vector<std::string>& arguments,
                       const SpawnOptions& options);

    CProcess m_process;
    std::string m_output;
};
