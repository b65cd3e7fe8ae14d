#include "ui/child_process.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace {

constexpr auto kPollStep = std::chrono::milliseconds(10);
// How long the destructor lets a still running child end by itself.
constexpr unsigned long kDestructorGraceMs = 1000;

// The viewer's blocked or ignored signals must not leak into the child.
class CSpawnAttributes {
public:
    CSpawnAttributes() {
        posix_spawnattr_init(&m_attr);
        sigset_t none;
        sigemptyset(&none);
        sigset_t all;
        sigfillset(&all);
        posix_spawnattr_setsigmask(&m_attr, &none);
        posix_spawnattr_setsigdefault(&m_attr, &all);
        posix_spawnattr_setflags(&m_attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    }
    ~CSpawnAttributes() { posix_spawnattr_destroy(&m_attr); }
    CSpawnAttributes(const CSpawnAttributes&) = delete;
    CSpawnAttributes& operator=(const CSpawnAttributes&) = delete;

    const posix_spawnattr_t* Get() const { return &m_attr; }

private:
    posix_spawnattr_t m_attr;
};

} // namespace

CChildProcess::~CChildProcess() {
    if (IsStarted() && !m_bEnded) {
        Terminate(kDestructorGraceMs);
    }
}

bool CChildProcess::Start(const std::string& program, const std::vector<std::string>& arguments) {
    if (IsStarted() || program.empty()) {
        return false;
    }
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 2);
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);

    CSpawnAttributes attributes;
    pid_t pid = 0;
    // posix_spawn, not posix_spawnp: the caller has already chosen the file,
    // and no search may wander into the current directory.
    if (posix_spawn(&pid, program.c_str(), nullptr, attributes.Get(), argv.data(), environ) != 0) {
        return false;
    }
    m_pid = pid;
    m_bEnded = false;
    return true;
}

bool CChildProcess::Reap(bool block) {
    if (!IsStarted()) {
        return false;
    }
    if (m_bEnded) {
        return true;
    }
    int status = 0;
    pid_t result;
    do {
        result = waitpid(m_pid, &status, block ? 0 : WNOHANG);
    } while (result < 0 && errno == EINTR);
    if (result == 0) {
        return false;
    }
    m_bEnded = true;
    if (result < 0) {
        // Reaped elsewhere: it has ended, its code is unknown.
        m_nExitCode = -1;
    } else if (WIFEXITED(status)) {
        m_nExitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        m_nExitCode = 128 + WTERMSIG(status);
    } else {
        m_nExitCode = -1;
    }
    return true;
}

bool CChildProcess::GetExitCode(int* exitCode) {
    if (!Reap(false)) {
        return false;
    }
    if (exitCode != nullptr) {
        *exitCode = m_nExitCode;
    }
    return true;
}

bool CChildProcess::Wait(int* exitCode, unsigned long milliseconds) {
    if (!IsStarted()) {
        return false;
    }
    if (milliseconds == kInfinite) {
        Reap(true);
        return GetExitCode(exitCode);
    }
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!Reap(false)) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(kPollStep, deadline - now));
    }
    return GetExitCode(exitCode);
}

void CChildProcess::RequestStop() {
    if (IsStarted() && !Reap(false)) {
        kill(m_pid, SIGTERM);
    }
}

void CChildProcess::ForceStop() {
    if (IsStarted() && !Reap(false)) {
        kill(m_pid, SIGKILL);
        Reap(true);
    }
}

void CChildProcess::Terminate(unsigned long graceMilliseconds) {
    RequestStop();
    if (!Wait(nullptr, graceMilliseconds)) {
        ForceStop();
    }
}
