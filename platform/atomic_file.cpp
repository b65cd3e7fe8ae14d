#include "platform/atomic_file.h"

#include "platform/stop_cleanup.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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

// The writer's process id from a temporary name of ours for name; 0 when
// the name is not one: "." name ".tmp-" pid "-" count "-" ticks, all digits.
pid_t TemporaryWriter(const std::string& entry, const std::string& name) {
    const std::string prefix = "." + name + kTemporaryInfix;
    if (entry.compare(0, prefix.size(), prefix) != 0) {
        return 0;
    }
    const std::string tail = entry.substr(prefix.size());
    int groups = 1;
    for (std::size_t i = 0; i < tail.size(); ++i) {
        const bool separator = tail[i] == '-';
        if ((separator && (i == 0 || tail[i - 1] == '-')) ||
            (!separator && (tail[i] < '0' || tail[i] > '9'))) {
            return 0;
        }
        groups += separator ? 1 : 0;
    }
    const std::string pid = tail.substr(0, tail.find('-'));
    if (groups != 3 || tail.back() == '-' || pid.size() > 9) {
        return 0;
    }
    return static_cast<pid_t>(std::stol(pid));
}

bool WriterIsGone(pid_t writer) {
    return writer != getpid() && kill(writer, 0) != 0 && errno == ESRCH;
}

} // namespace

Result<void> WriteFileAtomically(int folderFd, const std::string& name, std::string_view content) {
    std::string problem;
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
        return Failure{Reason("creating a temporary file failed")};
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
        return Failure{problem};
    }
    // Make the rename itself durable; a failure here loses nothing already visible.
    fsync(folderFd);
    return {};
}

Result<void> RemoveStaleTemporaries(int folderFd, const std::string& name) {
    const int listFd = openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = listFd >= 0 ? fdopendir(listFd) : nullptr;
    if (dir == nullptr) {
        if (listFd >= 0) {
            close(listFd);
        }
        return {};
    }
    std::vector<std::string> stale;
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = readdir(dir)) {
        const pid_t writer = TemporaryWriter(entry->d_name, name);
        struct stat info {};
        if (writer <= 0 || fstatat(folderFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(info.st_mode) || info.st_uid != geteuid()) {
            continue;
        }
        if (WriterIsGone(writer) || now - info.st_mtime > kStaleTemporaryAgeSeconds) {
            stale.emplace_back(entry->d_name);
        }
    }
    closedir(dir);
    std::size_t failed = 0;
    std::string first;
    for (const std::string& entry : stale) {
        if (unlinkat(folderFd, entry.c_str(), 0) != 0 && errno != ENOENT && failed++ == 0) {
            first = entry + ": " + std::strerror(errno);
        }
    }
    if (failed == 0) {
        return {};
    }
    return Failure{"removing " + std::to_string(failed) +
                   " temporary files of an earlier run failed, first " + first};
}
