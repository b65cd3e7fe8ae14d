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
constexpr mode_t kLockMode = 0600;

// Gives the lock file its mode and owner through the open descriptor, never
// by name. Only an empty file with one link is changed: the lock file never
// holds anything, and a hard link planted at its name must not make root
// change a file elsewhere.
Result<void> MakePrivate(int fd, const struct stat& info, int folderFd, const std::string& name) {
    const bool root = geteuid() == 0;
    struct stat folder {};
    if (fstat(folderFd, &folder) != 0) {
        return Failure{"the folder of " + name + " cannot be examined: " + std::strerror(errno)};
    }
    const bool wrongOwner = root && info.st_uid != folder.st_uid;
    const bool wrongMode =
        (info.st_mode & 07777) != kLockMode && (root || info.st_uid == geteuid());
    if (!wrongOwner && !wrongMode) {
        return {};
    }
    if (info.st_nlink != 1 || info.st_size != 0) {
        return Failure{"the lock file " + name + " is not the empty file this program makes (" +
                       std::to_string(info.st_nlink) + " links, " + std::to_string(info.st_size) +
                       " bytes); remove it"};
    }
    if ((wrongOwner && fchown(fd, folder.st_uid, static_cast<gid_t>(-1)) != 0) ||
        fchmod(fd, kLockMode) != 0) {
        return Failure{"the lock file " + name +
                       " cannot be made private: " + std::strerror(errno)};
    }
    return {};
}

} // namespace

CFolderLock::~CFolderLock() {
    if (m_nFd >= 0) {
        close(m_nFd); // releases the lock
    }
}

Result<void> CFolderLock::Acquire(int folderFd, const std::string& name,
                                  std::chrono::steady_clock::time_point deadline) {
    const int fd =
        openat(folderFd, name.c_str(),
               O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, kLockMode);
    if (fd < 0 && (errno == EACCES || errno == EPERM || errno == EROFS)) {
        // A folder we may not write, or another user's lock in a folder we
        // share: we cannot take turns here. In the first, nothing we do can
        // change the folder (a run that needs root asks for it, and the
        // privileged run takes the lock itself); in the second, whoever can
        // write the folder can remove the lock anyway.
        return {};
    }
    // Saved before anything else can change errno.
    const int openError = errno;
    struct stat info {};
    if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        if (fd >= 0) {
            close(fd);
        }
        return Failure{"the lock file " + name + " cannot be used: " +
                       (fd < 0 ? std::strerror(openError) : "not a regular file")};
    }
    if (Result<void> made = MakePrivate(fd, info, folderFd, name); !made) {
        close(fd);
        return made;
    }
    while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            Failure failure{std::string("locking ") + name + " failed: " + std::strerror(errno)};
            close(fd);
            return failure;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            close(fd);
            return Failure{"another run on this folder did not end in time"};
        }
        std::this_thread::sleep_for(kRetryInterval);
    }
    m_nFd = fd;
    return {};
}
