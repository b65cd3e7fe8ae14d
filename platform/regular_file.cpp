#include "platform/regular_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

Failure SystemFailure(int error) {
    return Failure{std::strerror(error),
                   error == ENOENT ? FailureKind::Missing : FailureKind::Failed};
}

Failure TooLarge(std::size_t maxBytes) {
    return Failure{"larger than " + std::to_string(maxBytes) + " bytes"};
}

// A Failure saying why a file of this status is not read.
Result<void> CheckReadable(const struct stat& info, std::size_t maxBytes) {
    if (!S_ISREG(info.st_mode)) {
        return Failure{"not a regular file"};
    }
    if (info.st_size < 0 || static_cast<unsigned long long>(info.st_size) > maxBytes) {
        return TooLarge(maxBytes);
    }
    return {};
}

Result<std::string> ReadOpened(int fd, std::size_t maxBytes) {
    struct stat info {};
    if (fstat(fd, &info) != 0) {
        return SystemFailure(errno);
    }
    // Checked again on the opened file, in case it was swapped since.
    if (const Result<void> readable = CheckReadable(info, maxBytes); !readable) {
        return readable.Error();
    }
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return SystemFailure(errno);
        }
        if (got == 0) {
            return text;
        }
        // The file grew past the limit while being read.
        if (static_cast<std::size_t>(got) > maxBytes - text.size()) {
            return TooLarge(maxBytes);
        }
        text.append(buffer, static_cast<std::size_t>(got));
    }
}

// Opens with O_NONBLOCK so that a FIFO swapped in after the check does not
// wait for a writer; the check on the opened file then refuses it.
Result<std::string> ReadChecked(int folderFd, const std::string& name, std::size_t maxBytes,
                                int statFlags, int openFlags, MissingFile missing) {
    // Opening a device node can act on the device (a tape rewinds): the type
    // is looked at first.
    struct stat named {};
    if (name.empty() || fstatat(folderFd, name.c_str(), &named, statFlags) != 0) {
        const int error = name.empty() ? ENOENT : errno;
        if (error == ENOENT && missing == MissingFile::ReadsEmpty) {
            return std::string();
        }
        return SystemFailure(error);
    }
    if (const Result<void> readable = CheckReadable(named, maxBytes); !readable) {
        return readable.Error();
    }
    const int fd =
        openat(folderFd, name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | openFlags);
    if (fd < 0) {
        return SystemFailure(errno);
    }
    Result<std::string> text = ReadOpened(fd, maxBytes);
    close(fd);
    return text;
}

} // namespace

Result<std::string> ReadRegularFile(const std::string& path, std::size_t maxBytes) {
    return ReadChecked(AT_FDCWD, path, maxBytes, 0, 0, MissingFile::Fails);
}

Result<std::string> ReadRegularFileAt(int folderFd, const std::string& name, std::size_t maxBytes,
                                      MissingFile missing) {
    return ReadChecked(folderFd, name, maxBytes, AT_SYMLINK_NOFOLLOW, O_NOFOLLOW, missing);
}
