#include "ui/child_process.h"

#include <csignal>
#include <sys/wait.h>

namespace {

// How long the destructor lets a still running child end by itself.
constexpr unsigned long kDestructorGraceMs = 1000;

} // namespace

CChildProcess::~CChildProcess() {
    if (IsStarted() && !m_process.HasEnded()) {
        Terminate(kDestructorGraceMs);
    }
}

bool CChildProcess::Start(const std::string& program, const std::vector<std::string>& arguments) {
    std::vector<std::string> command = {program};
    command.insert(command.end(), arguments.begin(), arguments.end());
    std::string problem;
    return m_process.Start(command, SpawnOptions{}, problem);
}

bool CChildProcess::GetExitCode(int* exitCode) {
    if (!m_process.TryReap()) {
        return false;
    }
    if (exitCode != nullptr) {
        const int status = m_process.WaitStatus();
        if (status != -1 && WIFEXITED(status)) {
            *exitCode = WEXITSTATUS(status);
        } else if (status != -1 && WIFSIGNALED(status)) {
            *exitCode = 128 + WTERMSIG(status);
        } else {
            *exitCode = -1;
        }
    }
    return true;
}

bool CChildProcess::Wait(int* exitCode, unsigned long milliseconds) {
    if (!IsStarted()) {
        return false;
    }
    if (milliseconds == kInfinite) {
        m_process.ReapBlocking();
    } else {
        m_process.ReapBefore(CProcess::Clock::now() + std::chrono::milliseconds(milliseconds));
    }
    return GetExitCode(exitCode);
}

void CChildProcess::RequestStop() {
    if (!m_process.TryReap()) {
        m_process.Signal(SIGTERM);
    }
}

void CChildProcess::ForceStop() {
    if (!m_process.TryReap()) {
        m_process.Kill();
    }
}

void CChildProcess::Terminate(unsigned long graceMilliseconds) {
    RequestStop();
    if (!Wait(nullptr, graceMilliseconds)) {
        ForceStop();
    }
}
