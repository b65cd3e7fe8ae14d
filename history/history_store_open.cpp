// Opening the history file: checked on its own descriptor for writing, and
// for reading rolled back in a private copy when a write was interrupted.
#include "history/history_store.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kBusyTimeoutMs = 5000;
// SQLite's own lock bytes of a rollback-journal database: readers hold a
// read lock on the shared range, a writer needs all of it to change pages.
constexpr off_t kSqliteSharedFirst = 0x40000000 + 2;
constexpr off_t kSqliteSharedSize = 510;

// Copies the open file from to a new file path; false with problem set.
bool CopyFile(int from, const std::string& path, std::string& problem) {
    const int to = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    bool copied = to >= 0;
    char buffer[1 << 16];
    ssize_t got = 0;
    while (copied && (got = read(from, buffer, sizeof buffer)) != 0) {
        if (got < 0 && errno == EINTR) {
            continue;
        }
        for (ssize_t done = 0; copied && got > 0 && done < got;) {
            const ssize_t put = write(to, buffer + done, static_cast<std::size_t>(got - done));
            copied = put > 0 || (put < 0 && errno == EINTR);
            done += put > 0 ? put : 0;
        }
        copied = copied && got > 0;
    }
    if (!copied) {
        problem = std::strerror(errno);
    }
    if (to >= 0 && close(to) != 0 && copied) {
        problem = std::strerror(errno);
        copied = false;
    }
    return copied;
}

} // namespace

void CHistoryStore::Close() {
    sqlite3_close_v2(m_db);
    m_db = nullptr;
}

Result<void> CHistoryStore::Open(const std::string& path, Access access) {
    if (m_db != nullptr) {
        return Failure{"the history database is open already"};
    }
    m_note.clear();
    if (access == Access::Write) {
        std::string problem;
        if (!OpenForWriting(path, problem)) {
            Close();
            return Failure{problem};
        }
    } else {
        struct stat info {};
        if (lstat(path.c_str(), &info) != 0) {
            return Failure{"there is no history yet (" + path + ")",
                           errno == ENOENT ? FailureKind::Missing : FailureKind::Failed};
        }
        if (!S_ISREG(info.st_mode)) {
            return Failure{"the history database " + path + " is not a regular file"};
        }
        if (sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOFOLLOW,
                            nullptr) != SQLITE_OK) {
            Failure failure{
                Problem(("the history database " + path + " cannot be opened").c_str())};
            Close();
            return failure;
        }
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
    Result<void> schema = PrepareSchema();
    if (schema) {
        return schema;
    }
    // A newer schema is read as far as this program knows it; a damaged file is not.
    if (access == Access::Read && schema.Kind() == FailureKind::Newer) {
        m_note = schema.Problem();
        return {};
    }
    if (access == Access::Read && sqlite3_extended_errcode(m_db) == SQLITE_READONLY_ROLLBACK) {
        // The last write was interrupted; only a writer may roll it back here.
        Close();
        std::string problem;
        if (OpenRolledBackCopy(path, problem)) {
            return {};
        }
        return Failure{problem};
    }
    Close();
    return schema;
}

bool CHistoryStore::OpenForWriting(const std::string& path, std::string& problem) {
    const std::string name = "the history database " + path;
    // The file is opened and checked first, and its mode set on that open
    // file: a path names whatever was swapped in after a check.
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0644);
    if (fd < 0) {
        problem = name + " cannot be opened: " +
                  (errno == ELOOP ? "it is a symbolic link" : std::strerror(errno));
        return false;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0) {
        problem = name + " cannot be opened: " + std::strerror(errno);
    } else if (!S_ISREG(info.st_mode)) {
        problem = name + " is not a regular file";
    } else if (info.st_nlink != 1) {
        // A hard link would make another file of the same name ours to change.
        problem = name + " has other links; it is left alone";
    } else if (geteuid() == 0 && info.st_uid != 0) {
        problem = name + " belongs to another user; root does not write it";
    } else if (info.st_uid == geteuid() && (info.st_mode & 07777) != 0644 &&
               fchmod(fd, 0644) != 0) {
        // Written as root, read by the user's viewer.
        problem = name + " cannot be made readable: " + std::strerror(errno);
    }
    if (problem.empty() &&
        sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW,
                        nullptr) != SQLITE_OK) {
        problem = Problem((name + " cannot be opened").c_str());
    }
    struct stat opened {};
    // SQLite opened the path again: it must still be the file checked above.
    if (problem.empty() && (lstat(path.c_str(), &opened) != 0 || opened.st_dev != info.st_dev ||
                            opened.st_ino != info.st_ino || opened.st_nlink != 1)) {
        problem = name + " was replaced while it was opened; it is left alone";
    }
    // Closed before SQLite takes a lock: closing any descriptor of a file
    // drops every lock this process holds on it.
    close(fd);
    return problem.empty();
}

bool CHistoryStore::OpenRolledBackCopy(const std::string& path, std::string& problem) {
    const std::string why = "the history database " + path +
                            " was left mid-write (the next collection repairs it), and ";
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = (tmp != nullptr && *tmp == '/' ? tmp : "/tmp");
    folder += "/tolvenar-history-XXXXXX";
    if (mkdtemp(folder.data()) == nullptr) {
        problem = why + "no private copy can be made: " + std::strerror(errno);
        return false;
    }
    const std::string copy = folder + "/" + kHistoryFileName;
    const int database = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    // A read lock where SQLite's readers take theirs: no writer changes the
    // database while it and its journal are copied. An open-file lock, so
    // that it is this descriptor's only.
    struct flock shared {};
    shared.l_type = F_RDLCK;
    shared.l_whence = SEEK_SET;
    shared.l_start = kSqliteSharedFirst;
    shared.l_len = kSqliteSharedSize;
    struct stat info {};
    bool copied = database >= 0 && fstat(database, &info) == 0 && S_ISREG(info.st_mode) &&
                  fcntl(database, F_OFD_SETLKW, &shared) == 0 && CopyFile(database, copy, problem);
    if (database >= 0 && copied) {
        // Without a journal (a writer rolled it back meanwhile) the
        // database alone is the last complete run.
        const int journal =
            open((path + "-journal").c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
        copied = journal >= 0 ? CopyFile(journal, copy + "-journal", problem) : errno == ENOENT;
        if (journal >= 0) {
            close(journal);
        }
    }
    if (!copied && problem.empty()) {
        problem =
            database >= 0 && !S_ISREG(info.st_mode) ? "not a regular file" : std::strerror(errno);
    }
    if (database >= 0) {
        close(database);
    }
    // SQLite rolls the copy back on its first read, in PrepareSchema; the
    // open copy is then needed by no name.
    if (copied &&
        sqlite3_open_v2(copy.c_str(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        problem = sqlite3_errmsg(m_db);
        copied = false;
    }
    if (copied) {
        sqlite3_extended_result_codes(m_db, 1);
        const Result<void> schema = PrepareSchema();
        copied = schema || schema.Kind() == FailureKind::Newer;
        if (!schema) {
            (copied ? m_note : problem) = schema.Problem();
        }
    }
    unlink((copy + "-journal").c_str());
    unlink(copy.c_str());
    rmdir(folder.c_str());
    if (!copied) {
        Close();
        problem = why + "its private copy cannot be read: " + problem;
    }
    return copied;
}
