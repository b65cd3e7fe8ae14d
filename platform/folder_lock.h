#pragma once

#include "platform/result.h"

#include <chrono>
#include <string>

// An exclusive lock (flock) on a lock file inside a folder, so that runs on
// one folder happen one at a time. flock works on any descriptor, even a
// read-only one, so the lock file is readable by its owner only (0600,
// whatever the umask) and owned by the folder's owner: whoever cannot write
// the folder cannot open it, and so cannot hold up the runs. It is never
// followed if it is a link. Released on destruction (and by the kernel when
// the process ends, however it ends).
class CFolderLock {
public:
    CFolderLock() = default;
    ~CFolderLock();
    CFolderLock(const CFolderLock&) = delete;
    CFolderLock& operator=(const CFolderLock&) = delete;

    // Waits for the lock until deadline. A Failure (one line) when the lock file cannot be used or
    // the lock is not had in time. When the lock file cannot be opened for writing (a folder this
    // process may not write, another user's lock file) it succeeds without a lock (Held() is
    // false). Run as root, it puts right the mode and owner of a lock file that an older version or
    // another umask left.
    [[nodiscard]] Result<void> Acquire(int folderFd, const std::string& name,
                                       std::chrono::steady_clock::time_point deadline);

    bool Held() const { return m_nFd >= 0; }

private:
    int m_nFd = -1;
};
