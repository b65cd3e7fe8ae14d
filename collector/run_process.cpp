#include "collector/run_process.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kReapGrace = std::chrono::seconds(1);
constexpr auto kReapPoll = std::chrono::milliseconds(5);

std::vector<char*> PointerList(const std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    pointers.reserve(texts.size() + 1);
    for (const std::string& text : texts) {
        pointers.push_back(const_cast<char*>(text.c_str()));
    }
    pointers.push_back(nullptr);
    return pointers;
}

// RAII for the spawn attribute objects, which must be destroyed on every path.
struct SpawnSetup {
    posix_spawn_file_actions_t actions{};
    posix_spawnattr_t attributes{};
    SpawnSetup() {
        posix_spawn_file_actions_init(&actions);
        posix_spawnattr_init(&attributes);
    }
    ~SpawnSetup() {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;
};

void RecordStatus(int status, ProcessResult& result) {
    if (WIFEXITED(status)) {
        result.end = ProcessEnd::Exited;
        result.exitStatus = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result.end = ProcessEnd::Signalled;
        result.signal = WTERMSIG(status);
    }
}

// Waits for pid until deadline (none when unbounded); true once reaped.
bool ReapBefore(pid_t pid, bool bounded, Clock::time_point deadline, int& status) {
    for (;;) {
        const pid_t reaped = waitpid(pid, &status, bounded ? WNOHANG : 0);
        if (reaped == pid) {
            return true;
        }
        if (reaped < 0 && errno != EINTR) {
            return false;
        }
        if (bounded && reaped == 0) {
            if (Clock::now() >= deadline) {
                return false;
            }
            std::this_thread::sleep_for(kReapPoll);
        }
    }
}

// Collects the child's output until it closes the pipe, the deadline passes
// or the output grows too large. True when the pipe reached its end.
bool CollectOutput(int fd, bool bounded, Clock::time_point deadline, std::size_t limit,
                   ProcessResult& result) {
    char buffer[65536];
    for (;;) {
        int waitMs = -1;
        if (bounded) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) {
                result.end = ProcessEnd::TimedOut;
                return false;
            }
            waitMs = static_cast<int>(std::min<long long>(left.count() + 1, 60000));
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

} // namespace

ProcessResult RunProcess(const ProcessRequest& request) {
    ProcessResult result;
    if (request.arguments.empty()) {
        result.problem = "no program named";
        return result;
    }
    std::vector<char*> argv = PointerList(request.arguments);
    std::vector<char*> envp;
    if (request.environment) {
        envp = PointerList(*request.environment);
    }

    SpawnSetup setup;
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&setup.attributes, &signals);
    // A SIGPIPE that our caller ignores must not stay ignored in the child.
    sigaddset(&signals, SIGPIPE);
    posix_spawnattr_setsigdefault(&setup.attributes, &signals);
    short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;

    int pipeFds[2] = {-1, -1};
    if (request.captureOutput) {
        // Close-on-exec, so that children started at the same time by other
        // threads do not inherit our pipe and hold it open.
        if (pipe2(pipeFds, O_CLOEXEC) != 0) {
            result.problem = std::string("could not be started: ") + std::strerror(errno);
            return result;
        }
        posix_spawn_file_actions_addopen(&setup.actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&setup.actions, pipeFds[1], 1);
        posix_spawn_file_actions_addopen(&setup.actions, 2, "/dev/null", O_WRONLY, 0);
        posix_spawnattr_setpgroup(&setup.attributes, 0);
        flags |= POSIX_SPAWN_SETPGROUP;
    }
    posix_spawnattr_setflags(&setup.attributes, flags);

    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, argv[0], &setup.actions, &setup.attributes, argv.data(),
                                    request.environment ? envp.data() : environ);
    if (pipeFds[1] >= 0) {
        close(pipeFds[1]);
    }
    if (spawned != 0) {
        if (pipeFds[0] >= 0) {
            close(pipeFds[0]);
        }
        result.problem = std::string("could not be started: ") + std::strerror(spawned);
        return result;
    }

    const bool bounded = request.timeLimit.count() > 0;
    const Clock::time_point deadline = Clock::now() + request.timeLimit;
    bool finished = true;
    if (request.captureOutput) {
        finished = CollectOutput(pipeFds[0], bounded, deadline, request.maxOutputBytes, result);
        close(pipeFds[0]);
    }
    int status = 0;
    if (finished) {
        if (ReapBefore(pid, bounded, deadline, status)) {
            RecordStatus(status, result);
            return result;
        }
        if (!bounded) {
            result.problem = std::string("waiting for it failed: ") + std::strerror(errno);
            return result;
        }
        result.end = ProcessEnd::TimedOut;
    }
    // Ended by us: at the time limit, for too much output, or because its
    // output could not be read.
    if (request.captureOutput) {
        kill(-pid, SIGKILL);
    }
    kill(pid, SIGKILL);
    ReapBefore(pid, true, Clock::now() + kReapGrace, status);
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
