#include "platform/stop_cleanup.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

struct Registry {
    std::mutex mutex;
    std::vector<pid_t> groups;
    std::vector<std::pair<int, std::string>> files;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

template <typename T> void Erase(std::vector<T>& items, const T& item) {
    const auto found = std::find(items.begin(), items.end(), item);
    if (found != items.end()) {
        items.erase(found);
    }
}

[[noreturn]] void StopNow(const char* prefix, int sig, int exitStatus) {
    Registry& registry = TheRegistry();
    // Held until the exit: nothing new is started or renamed meanwhile.
    registry.mutex.lock();
    for (pid_t group : registry.groups) {
        kill(-group, SIGKILL);
    }
    for (const auto& [folderFd, name] : registry.files) {
        unlinkat(folderFd, name.c_str(), 0);
    }
    std::fprintf(stderr, "%s: stopped by signal %d (%s); reports already written stay\n", prefix,
                 sig, strsignal(sig));
    std::fflush(stderr);
    _exit(exitStatus);
}

} // namespace

std::unique_lock<std::mutex> CStopCleanup::Lock() {
    return std::unique_lock<std::mutex>(TheRegistry().mutex);
}

void CStopCleanup::AddProcessGroup(pid_t group) {
    TheRegistry().groups.push_back(group);
}

void CStopCleanup::RemoveProcessGroup(pid_t group) {
    Erase(TheRegistry().groups, group);
}

void CStopCleanup::AddTemporaryFile(int folderFd, const std::string& name) {
    TheRegistry().files.emplace_back(folderFd, name);
}

void CStopCleanup::RemoveTemporaryFile(int folderFd, const std::string& name) {
    Erase(TheRegistry().files, std::make_pair(folderFd, name));
}

void CStopCleanup::EndOnStopSignals(const char* prefix, int exitStatus) {
    sigset_t stops;
    sigemptyset(&stops);
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
        sigaddset(&stops, sig);
    }
    // Threads started later inherit the mask; children get a clean one.
    pthread_sigmask(SIG_BLOCK, &stops, nullptr);
    std::thread([stops, prefix, exitStatus] {
        int sig = 0;
        while (sigwait(&stops, &sig) != 0) {
        }
        StopNow(prefix, sig, exitStatus);
    }).detach();
}
