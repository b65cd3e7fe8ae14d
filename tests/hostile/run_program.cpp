#include "hostile/run_program.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <grp.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

// Only async-signal-safe calls between fork and exec.
[[noreturn]] void ExecChild(const std::vector<char*>& args, const std::string& folder,
                            const std::string& outPath, const std::string& errPath, uid_t runAs) {
    const int in = open("/dev/null", O_RDONLY);
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) {
        _exit(126);
    }
    if (runAs != static_cast<uid_t>(-1)) {
        if (setgroups(0, nullptr) != 0 || setgid(runAs) != 0 || setuid(runAs) != 0) {
            _exit(125);
        }
    }
    if (chdir(folder.c_str()) != 0) {
        _exit(124);
    }
    execv(args[0], args.data());
    _exit(127);
}

} // namespace

ProgramResult RunProgram(const std::vector<std::string>& argv, const std::string& folder,
                         int timeoutSeconds, uid_t runAs) {
    ProgramResult result;
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    // Outputs go to files, not pipes: a child writing much can never block
    // on a parent that is only waiting for it.
    char pattern[] = "/tmp/tolvenar-run-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        return result;
    }
    const std::string outPath = std::string(pattern) + "/out";
    const std::string errPath = std::string(pattern) + "/err";

    const pid_t child = fork();
    if (child == 0) {
        ExecChild(args, folder, outPath, errPath, runAs);
    }
    if (child > 0) {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
        int status = 0;
        pid_t done = 0;
        while ((done = waitpid(child, &status, WNOHANG)) == 0 &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        if (done == 0) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
        } else {
            result.finished = done == child;
        }
        if (result.finished && WIFEXITED(status)) {
            result.status = WEXITSTATUS(status);
        } else if (WIFSIGNALED(status)) {
            result.signal = WTERMSIG(status);
        }
        result.out = Slurp(outPath);
        result.err = Slurp(errPath);
    }
    unlink(outPath.c_str());
    unlink(errPath.c_str());
    rmdir(pattern);
    return result;
}
