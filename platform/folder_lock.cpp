#include "platform/folder_lock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr auto kRetryInterval = std::chrono::milliseconds(50);

} // namespace

CFolderLock::~CFolderLock() {
    if (m_nFd >= 0) {
        close(m_nFd); // releases the lock
    }
}

bool CFolderLock::Acquire(int folderFd, const std::string& name,
                          std::chrono::steady_clock::time_point deadline, std::string& problem) {
    int fd = openat(folderFd, name.c_str(),
                    O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0644);
    if (fd < 0 && (errno == EACCES || errno == EROFS)) {
        // A folder we may not write: lock an existing lock file through a
        // read-only descriptor (flock allows it); with none there, nothing
        // we do can change the folder, so there is nothing to take turns on.
        fd = openat(folderFd, name.c_str(),
                    O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        if (fd < 0 && errno == ENOENT) {
            return true;
        }
    }
    struct stat info {};
    if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        problem = "the lock file " + name +
                  " cannot be used: " + (fd < 0 ? std::strerror(errno) : "not a regular file");
        if (fd >= 0) {
            close(fd);
        }
        return false;
    }
    while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            problem = std::string("locking ") + name + " failed: " + std::strerror(errno);
            close(fd);
            return false;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            problem = "another run on this folder did not end in time";
            close(fd);
            return false;
        }
        std::this_thread::sleep_for(kRetryInterval);
    }
    m_nFd = fd;
    return true;
}
