// quelmaro: the collector. Reads every drive's S.M.A.R.T. data with smartctl
// and leaves one report per drive for the viewer.

#include "collector/quelmaro_app.h"
#include "platform/stop_cleanup.h"

#include <csignal>
#include <cstdio>
#include <exception>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// A program that may run as root starts from a known state: standard streams
// open (so no file we open becomes one of them), and children reaped by us.
void PrepareProcess() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) < 0) {
            const int opened = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
            if (opened > 2) {
                close(opened);
            }
        }
    }
    std::signal(SIGCHLD, SIG_DFL);
    // A closed standard error must not end the program when it writes a message.
    std::signal(SIGPIPE, SIG_IGN);
}

} // namespace

int main(int argc, char** argv) {
    PrepareProcess();
    // Before any thread starts: a stop signal ends every smartctl and
    // removes the half-written report files; reports in place stay.
    CStopCleanup::EndOnStopSignals("quelmaro", 2);
    try {
        // execve() allows an empty argument list, without even the program name.
        std::vector<std::string> arguments;
        for (int i = 1; i < argc; ++i) {
            arguments.emplace_back(argv[i]);
        }
        return RunQuelmaro(arguments);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "quelmaro: %s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "quelmaro: unexpected failure\n");
    }
    return 2;
}
