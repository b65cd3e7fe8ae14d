#include "ui/child_process.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// How long the destructor lets a still running child end by itself.
constexpr unsigned long kDestructorGraceMs = 1000;

} // namespace

CChildProcess::~CChildProcess() {
    if (IsStarted() && !m_process.HasEnded()) {
        Terminate(kDestructorGraceMs);
    }
}

Result<void> CChildProcess::Start(const std::string& program,
                                  const std::vector<std::string>& arguments) {
    return Start(program, arguments, SpawnOptions{});
}

Result<void> CChildProcess::StartCapturing(const std::string& program,
                                           const std::vector<std::string>& arguments) {
    SpawnOptions options;
    options.captureOutput = true;
    options.errorIntoOutput = true;
    if (Result<void> started = Start(program, arguments, options); !started) {
        return started;
    }
    // Reads never wait: the user-interface thread drains while it repaints.
    const int flags = fcntl(m_process.OutputFd(), F_GETFL);
    fcntl(m_process.OutputFd(), F_SETFL, flags | O_NONBLOCK);
    return {};
}

Result<void> CChildProcess::Start(const std::string& program,
                                  const std::vector<std::string>& arguments,
                                  const SpawnOptions& options) {
    std::vector<std::string> command = {program};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return m_process.Start(command, options);
}

void CChildProcess::DrainOutput() {
    const int fd = m_process.OutputFd();
    if (fd < 0) {
        return;
    }
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got > 0) {
            m_output.append(buffer, static_cast<std::size_t>(got));
            if (m_output.size() > kMaxOutputBytes) {
                m_output.erase(0, m_output.size() - kMaxOutputBytes);
            }
        } else if (got == 0) {
            m_process.CloseOutput(); // every writer has ended
            return;
        } else if (errno != EINTR) {
            return; // EAGAIN: nothing more for now
        }
    }
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
