#include "platform/process.h"

#include "platform/stop_cleanup.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

constexpr auto kReapPoll = std::chrono::milliseconds(5);
constexpr auto kKillGrace = std::chrono::seconds(1);

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
class CSpawnSetup {
public:
    CSpawnSetup() {
        posix_spawn_file_actions_init(&m_actions);
        posix_spawnattr_init(&m_attributes);
        // Signals the parent blocks or ignores must not stay so in the child.
        sigset_t none;
        sigemptyset(&none);
        sigset_t all;
        sigfillset(&all);
        posix_spawnattr_setsigmask(&m_attributes, &none);
        posix_spawnattr_setsigdefault(&m_attributes, &all);
    }
    ~CSpawnSetup() {
        posix_spawn_file_actions_destroy(&m_actions);
        posix_spawnattr_destroy(&m_attributes);
    }
    CSpawnSetup(const CSpawnSetup&) = delete;
    CSpawnSetup& operator=(const CSpawnSetup&) = delete;

    void CaptureOutput(int writeFd, bool withErrors) {
        posix_spawn_file_actions_addopen(&m_actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&m_actions, writeFd, 1);
        if (withErrors) {
            posix_spawn_file_actions_adddup2(&m_actions, writeFd, 2);
        } else {
            posix_spawn_file_actions_addopen(&m_actions, 2, "/dev/null", O_WRONLY, 0);
        }
    }
    void SetFlags(bool ownGroup) {
        short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
        if (ownGroup) {
            posix_spawnattr_setpgroup(&m_attributes, 0);
            flags |= POSIX_SPAWN_SETPGROUP;
        }
        posix_spawnattr_setflags(&m_attributes, flags);
    }
    const posix_spawn_file_actions_t* Actions() const { return &m_actions; }
    const posix_spawnattr_t* Attributes() const { return &m_attributes; }

private:
    posix_spawn_file_actions_t m_actions{};
    posix_spawnattr_t m_attributes{};
};

// The child's side of ForkExec: only async-signal-safe calls. Mirrors what
// CSpawnSetup asks of posix_spawn, and asks for the parent-death signal,
// which posix_spawn cannot.
[[noreturn]] void ExecChild(char* const* argv, char* const* envp, int outputFd,
                            bool errorIntoOutput, bool ownGroup, pid_t parent, int reportFd) {
    sigset_t signals;
    sigfillset(&signals);
    sigprocmask(SIG_SETMASK, &signals, nullptr);
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    for (int sig = 1; sig < NSIG; ++sig) {
        sigaction(sig, &byDefault, nullptr);
    }
    if (ownGroup) {
        setpgid(0, 0);
    }
    if (outputFd >= 0) {
        const int in = open("/dev/null", O_RDONLY);
        const int err = errorIntoOutput ? outputFd : open("/dev/null", O_WRONLY);
        if (in < 0 || err < 0 || dup2(in, 0) < 0 || dup2(outputFd, 1) < 0 || dup2(err, 2) < 0) {
            _exit(127);
        }
    }
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    // A parent that died before the line above sends no signal any more.
    if (getppid() != parent) {
        _exit(127);
    }
    sigemptyset(&signals);
    sigprocmask(SIG_SETMASK, &signals, nullptr);
    execve(argv[0], argv, envp);
    const int error = errno;
    (void)!write(reportFd, &error, sizeof error);
    _exit(127);
}

// fork and exec for a child that must end with us. 0, or the errno that kept
// the program from starting (then the child is reaped already).
int ForkExec(char* const* argv, char* const* envp, int outputFd, bool errorIntoOutput,
             bool ownGroup, pid_t& pid) {
    int report[2] = {-1, -1};
    if (pipe2(report, O_CLOEXEC) != 0) {
        return errno;
    }
    const pid_t parent = getpid();
    pid = fork();
    if (pid == 0) {
        ExecChild(argv, envp, outputFd, errorIntoOutput, ownGroup, parent, report[1]);
    }
    const int forkError = errno;
    close(report[1]);
    if (pid < 0) {
        close(report[0]);
        return forkError;
    }
    if (ownGroup) {
        setpgid(pid, pid); // as the child does: whichever runs first
    }
    int childError = 0;
    ssize_t got;
    do {
        got = read(report[0], &childError, sizeof childError);
    } while (got < 0 && errno == EINTR);
    close(report[0]);
    if (got != static_cast<ssize_t>(sizeof childError)) {
        return 0; // the pipe closed on exec
    }
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
    return childError;
}

} // namespace

CProcess::~CProcess() {
    if (IsStarted() && !m_bEnded) {
        Kill();
    }
    CloseOutput();
}

Result<void> CProcess::Start(const std::vector<std::string>& arguments,
                             const SpawnOptions& options) {
    std::string problem;
    if (IsStarted()) {
        problem = "already started";
        return Failure{problem};
    }
    if (arguments.empty() || arguments[0].empty()) {
        problem = "no program named";
        return Failure{problem};
    }
    const std::vector<char*> argv = PointerList(arguments);
    const std::vector<char*> envp =
        options.environment ? PointerList(*options.environment) : std::vector<char*>();
    CSpawnSetup setup;
    int pipeFds[2] = {-1, -1};
    if (options.captureOutput) {
        // Close-on-exec, so that children started at the same time by other
        // threads do not inherit our pipe and hold it open.
        if (pipe2(pipeFds, O_CLOEXEC) != 0) {
            problem = std::string("could not be started: ") + std::strerror(errno);
            return Failure{problem};
        }
        setup.CaptureOutput(pipeFds[1], options.errorIntoOutput);
    }
    setup.SetFlags(options.ownProcessGroup);

    pid_t pid = 0;
    // A stop signal sees the group registered or no child at all.
    std::unique_lock<std::mutex> cleanup;
    if (options.ownProcessGroup) {
        cleanup = CStopCleanup::Lock();
    }
    char* const* childEnv = options.environment ? envp.data() : environ;
    const int spawned = options.endWithParent
                            ? ForkExec(argv.data(), childEnv, pipeFds[1], options.errorIntoOutput,
                                       options.ownProcessGroup, pid)
                            : posix_spawn(&pid, argv[0], setup.Actions(), setup.Attributes(),
                                          argv.data(), childEnv);
    if (spawned == 0 && options.ownProcessGroup) {
        CStopCleanup::AddProcessGroup(pid);
    }
    if (cleanup.owns_lock()) {
        cleanup.unlock();
    }
    if (pipeFds[1] >= 0) {
        close(pipeFds[1]);
    }
    if (spawned != 0) {
        if (pipeFds[0] >= 0) {
            close(pipeFds[0]);
        }
        problem = std::string("could not be started: ") + std::strerror(spawned);
        return Failure{problem};
    }
    m_pid = pid;
    m_bOwnGroup = options.ownProcessGroup;
    m_nOutputFd = pipeFds[0];
    return {};
}

void CProcess::CloseOutput() {
    if (m_nOutputFd >= 0) {
        close(m_nOutputFd);
        m_nOutputFd = -1;
    }
}

bool CProcess::Reap(bool block) {
    if (!IsStarted()) {
        return false;
    }
    if (m_bEnded) {
        return true;
    }
    if (block) {
        // Wait without reaping, so that the reap itself can happen together
        // with dropping the group from the stop registry.
        siginfo_t info{};
        while (waitid(P_PID, static_cast<id_t>(m_pid), &info, WEXITED | WNOWAIT) < 0 &&
               errno == EINTR) {
        }
    }
    std::unique_lock<std::mutex> cleanup;
    if (m_bOwnGroup) {
        cleanup = CStopCleanup::Lock();
    }
    int status = 0;
    pid_t result;
    do {
        result = waitpid(m_pid, &status, WNOHANG);
    } while (result < 0 && errno == EINTR);
    if (result == 0) {
        return false;
    }
    if (m_bOwnGroup) {
        CStopCleanup::RemoveProcessGroup(m_pid);
    }
    // An error (ECHILD: reaped elsewhere) means it has ended, status unknown.
    m_bEnded = true;
    m_nWaitStatus = result < 0 ? -1 : status;
    return true;
}

bool CProcess::TryReap() {
    return Reap(false);
}

bool CProcess::ReapBlocking() {
    return Reap(true);
}

bool CProcess::ReapBefore(Clock::time_point deadline) {
    while (!Reap(false)) {
        const auto now = Clock::now();
        if (!IsStarted() || now >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::min<Clock::duration>(kReapPoll, deadline - now));
    }
    return true;
}

void CProcess::Signal(int sig) {
    if (!IsStarted() || m_bEnded) {
        return;
    }
    if (m_bOwnGroup) {
        kill(-m_pid, sig);
    }
    kill(m_pid, sig);
}

void CProcess::Kill() {
    Signal(SIGKILL);
    ReapBefore(Clock::now() + kKillGrace);
}
