#pragma once

#include <chrono>
#include <string>

// An exclusive lock (flock) on a lock file inside a folder, so that runs on
// one folder happen one at a time. The lock file is created readable by all
// and is never followed if it is a link. Released on destruction (and by the
// kernel when the process ends, however it ends).
class CFolderLock {
public:
    CFolderLock() = default;
    ~CFolderLock();
    CFolderLock(const CFolderLock&) = delete;
    CFolderLock& operator=(const CFolderLock&) = delete;

    // Waits for the lock until deadline. False with problem set (one line)
    // when the lock file cannot be used or the lock is not had in time. In a
    // folder this process may not write and that has no lock file yet, it
    // succeeds without a lock: it cannot change that folder anyway.
    [[nodiscard]] bool Acquire(int folderFd, const std::string& name,
                               std::chrono::steady_clock::time_point deadline,
                               std::string& problem);

private:
    int m_nFd = -1;
};
