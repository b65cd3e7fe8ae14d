#include "platform/atomic_file.h"

#include "platform/stop_cleanup.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kNameAttempts = 100;
constexpr mode_t kReportMode = 0644;

std::string TemporaryName(const std::string& name) {
    static std::atomic<unsigned> counter{0};
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    return "." + name + kTemporaryInfix + std::to_string(getpid()) + "-" +
           std::to_string(counter++) + "-" +
           std::to_string(static_cast<unsigned long long>(ticks) % 1000000u);
}

bool WriteAll(int fd, std::string_view content) {
    while (!content.empty()) {
        const ssize_t written = write(fd, content.data(), content.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        content.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::string Reason(const char* step) {
    return std::string(step) + ": " + std::strerror(errno);
}

} // namespace

bool WriteFileAtomically(int folderFd, const std::string& name, std::string_view content,
                         std::string& problem) {
    std::string temporary;
    int fd = -1;
    std::unique_lock<std::mutex> cleanup = CStopCleanup::Lock();
    for (int attempt = 0; attempt < kNameAttempts && fd < 0; ++attempt) {
        temporary = TemporaryName(name);
        fd = openat(folderFd, temporary.c_str(),
                    O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, kReportMode);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd < 0) {
        problem = Reason("creating a temporary file failed");
        return false;
    }
    CStopCleanup::AddTemporaryFile(folderFd, temporary);
    cleanup.unlock();

    bool ok = true;
    if (fchmod(fd, kReportMode) != 0) {
        problem = Reason("setting the file mode failed");
        ok = false;
    } else if (!WriteAll(fd, content)) {
        problem = Reason("writing failed");
        ok = false;
    } else if (fsync(fd) != 0) {
        problem = Reason("flushing failed");
        ok = false;
    }
    if (close(fd) != 0 && ok) {
        problem = Reason("closing failed");
        ok = false;
    }
    cleanup.lock();
    if (ok && renameat(folderFd, temporary.c_str(), folderFd, name.c_str()) != 0) {
        problem = Reason("renaming failed");
        ok = false;
    }
    if (!ok) {
        unlinkat(folderFd, temporary.c_str(), 0);
    }
    CStopCleanup::RemoveTemporaryFile(folderFd, temporary);
    cleanup.unlock();
    if (!ok) {
        return false;
    }
    // Make the rename itself durable; a failure here loses nothing already visible.
    fsync(folderFd);
    return true;
}
