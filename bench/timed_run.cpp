#include "bench/timed_run.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

TimedRun TimedRun::Run(const std::vector<std::string>& argv, const std::string& folder,
                       const std::vector<std::string>& extraEnvironment,
                       const std::string& outFile) {
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    std::vector<std::string> entries(extraEnvironment);
    for (char** entry = environ; *entry != nullptr; ++entry) {
        entries.emplace_back(*entry); // the extra entries come first, so they win
    }
    std::vector<char*> env;
    for (std::string& entry : entries) {
        env.push_back(entry.data());
    }
    env.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.empty() ? "/dev/null" : outFile.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());

    TimedRun run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    run.started = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), env.data()) == 0;
    posix_spawn_file_actions_destroy(&actions);
    if (!run.started) {
        return run;
    }
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    run.wallMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.peakRssMb = static_cast<double>(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
    return run;
}
