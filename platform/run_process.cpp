#include "platform/run_process.h"

#include "platform/process.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

void RecordStatus(int status, ProcessResult& result) {
    if (WIFEXITED(status)) {
        result.end = ProcessEnd::Exited;
        result.exitStatus = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result.end = ProcessEnd::Signalled;
        result.signal = WTERMSIG(status);
    }
}

// Milliseconds to wait in poll() before deadline; -1 when unbounded, 0 when past.
int PollWait(bool bounded, Clock::time_point deadline) {
    if (!bounded) {
        return -1;
    }
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) {
        return 0;
    }
    return static_cast<int>(std::min<long long>(left.count() + 1, 60000));
}

// Collects the child's output until it closes the pipe, the deadline passes
// or the output grows too large. True when the pipe reached its end.
bool CollectOutput(int fd, bool bounded, Clock::time_point deadline, std::size_t limit,
                   ProcessResult& result) {
    char buffer[65536];
    for (;;) {
        const int waitMs = PollWait(bounded, deadline);
        if (waitMs == 0) {
            result.end = ProcessEnd::TimedOut;
            return false;
        }
        pollfd watch{fd, POLLIN, 0};
        const int ready = poll(&watch, 1, waitMs);
        if (ready < 0 && errno != EINTR) {
            result.problem = std::string("reading its output failed: ") + std::strerror(errno);
            return false;
        }
        if (ready <= 0) {
            continue;
        }
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN) {
                continue;
            }
            result.problem = std::string("reading its output failed: ") + std::strerror(errno);
            return false;
        }
        if (got == 0) {
            return true;
        }
        if (result.output.size() + static_cast<std::size_t>(got) > limit) {
            result.end = ProcessEnd::OutputTooLarge;
            return false;
        }
        result.output.append(buffer, static_cast<std::size_t>(got));
    }
}

// Waits for the child to end once its output is complete. True when it
// ended in time (or waiting failed, with the problem said); false when the
// deadline passed first.
bool AwaitEnd(CProcess& child, bool bounded, Clock::time_point deadline, ProcessResult& result) {
    const bool ended = bounded ? child.ReapBefore(deadline) : child.ReapBlocking();
    if (ended) {
        RecordStatus(child.WaitStatus(), result);
        return true;
    }
    if (!bounded) {
        result.problem = std::string("waiting for it failed: ") + std::strerror(errno);
        return true;
    }
    result.end = ProcessEnd::TimedOut;
    return false;
}

} // namespace

ProcessResult RunProcess(const ProcessRequest& request) {
    ProcessResult result;
    SpawnOptions options;
    options.environment = request.environment;
    options.captureOutput = request.captureOutput;
    options.ownProcessGroup = request.captureOutput;
    options.endWithParent = request.endWithCaller;
    CProcess child;
    if (const Result<void> started = child.Start(request.arguments, options); !started) {
        result.problem = started.Problem();
        return result;
    }
    const bool bounded = request.timeLimit.count() > 0;
    const Clock::time_point deadline = Clock::now() + request.timeLimit;
    bool outputComplete = true;
    if (request.captureOutput) {
        outputComplete =
            CollectOutput(child.OutputFd(), bounded, deadline, request.maxOutputBytes, result);
        child.CloseOutput();
    }
    if (outputComplete && AwaitEnd(child, bounded, deadline, result)) {
        return result;
    }
    // Ended by us: at the time limit, for too much output, or because its
    // output could not be read.
    child.Kill();
    return result;
}
std::string DescribeProcessEnd(const ProcessResult& result) {
    switch (result.end) {
    case ProcessEnd::Failed:
        return result.problem;
    case ProcessEnd::Exited:
        return "ended with exit status " + std::to_string(result.exitStatus);
    case ProcessEnd::Signalled:
        return "was ended by signal " + std::to_string(result.signal);
    case ProcessEnd::TimedOut:
        return "did not finish within the time limit and was ended";
    case ProcessEnd::OutputTooLarge:
        return "wrote more output than any drive's data and was ended";
    }
    return {};
}
