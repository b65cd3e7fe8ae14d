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

// Copies the open file from to a new file path.
Result<void> CopyFile(int from, const std::string& path) {
    const int to = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (to < 0) {
        return Failure{std::strerror(errno)};
    }
    bool copied = true;
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
    Result<void> done;
    if (!copied) {
        done = Failure{std::strerror(errno)};
    }
    if (close(to) != 0 && done) {
        done = Failure{std::strerror(errno)};
    }
    return done;
}

// Copies the database at path, and its journal when there is one, to copy
// and copy's journal, under a read lock where SQLite's readers take theirs:
// no writer changes the database while it and its journal are copied.
Result<void> CopyWithJournal(const std::string& path, const std::string& copy) {
    const int database = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (database < 0) {
        return Failure{std::strerror(errno)};
    }
    // An open-file lock, so that it is this descriptor's only.
    struct flock shared {};
    shared.l_type = F_RDLCK;
    shared.l_whence = SEEK_SET;
    shared.l_start = kSqliteSharedFirst;
    shared.l_len = kSqliteSharedSize;
    struct stat info {};
    Result<void> copied;
    if (fstat(database, &info) != 0) {
        copied = Failure{std::strerror(errno)};
    } else if (!S_ISREG(info.st_mode)) {
        copied = Failure{"not a regular file"};
    } else if (fcntl(database, F_OFD_SETLKW, &shared) != 0) {
        copied = Failure{std::strerror(errno)};
    } else {
        copied = CopyFile(database, copy);
    }
    if (copied) {
        // Without a journal (a writer rolled it back meanwhile) the
        // database alone is the last complete run.
        const int journal =
            open((path + "-journal").c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
        if (journal >= 0) {
            copied = CopyFile(journal, copy + "-journal");
            close(journal);
        } else if (errno != ENOENT) {
            copied = Failure{std::strerror(errno)};
        }
    }
    close(database);
    return copied;
}

// A Failure when the file open as fd (named name) is not one to write: not
// a regular file, linked elsewhere too, or, for root, not root's own. Sets
// its mode for the user's viewer to read what root writes.
Result<void> CheckWritable(int fd, const std::string& name, struct stat& info) {
    if (fstat(fd, &info) != 0) {
        return Failure{name + " cannot be opened: " + std::strerror(errno)};
    }
    if (!S_ISREG(info.st_mode)) {
        return Failure{name + " is not a regular file"};
    }
    if (info.st_nlink != 1) {
        // A hard link would make another file of the same name ours to change.
        return Failure{name + " has other links; it is left alone"};
    }
    if (geteuid() == 0 && info.st_uid != 0) {
        return Failure{name + " belongs to another user; root does not write it"};
    }
    if (info.st_uid == geteuid() && (info.st_mode & 07777) != 0644 && fchmod(fd, 0644) != 0) {
        return Failure{name + " cannot be made readable: " + std::strerror(errno)};
    }
    return {};
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
        if (Result<void> opened = OpenForWriting(path); !opened) {
            Close();
            return opened;
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
        return OpenRolledBackCopy(path);
    }
    Close();
    return schema;
}

Result<void> CHistoryStore::OpenForWriting(const std::string& path) {
    const std::string name = "the history database " + path;
    // The file is opened and checked first, and its mode set on that open
    // file: a path names whatever was swapped in after a check.
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0644);
    if (fd < 0) {
        return Failure{name + " cannot be opened: " +
                       (errno == ELOOP ? "it is a symbolic link" : std::strerror(errno))};
    }
    struct stat info {};
    Result<void> opened = CheckWritable(fd, name, info);
    if (opened && sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW,
                                  nullptr) != SQLITE_OK) {
        opened = Failure{Problem((name + " cannot be opened").c_str())};
    }
    struct stat now {};
    // SQLite opened the path again: it must still be the file checked above.
    if (opened && (lstat(path.c_str(), &now) != 0 || now.st_dev != info.st_dev ||
                   now.st_ino != info.st_ino || now.st_nlink != 1)) {
        opened = Failure{name + " was replaced while it was opened; it is left alone"};
    }
    // Closed before SQLite takes a lock: closing any descriptor of a file
    // drops every lock this process holds on it.
    close(fd);
    return opened;
}

Result<void> CHistoryStore::OpenRolledBackCopy(const std::string& path) {
    const std::string why = "the history database " + path +
                            " was left mid-write (the next collection repairs it), and ";
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = (tmp != nullptr && *tmp == '/' ? tmp : "/tmp");
    folder += "/tolvenar-history-XXXXXX";
    if (mkdtemp(folder.data()) == nullptr) {
        return Failure{why + "no private copy can be made: " + std::strerror(errno)};
    }
    const std::string copy = folder + "/" + kHistoryFileName;
    Result<void> copied = CopyWithJournal(path, copy);
    // SQLite rolls the copy back on its first read, in PrepareSchema; the
    // open copy is then needed by no name.
    if (copied &&
        sqlite3_open_v2(copy.c_str(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        copied = Failure{sqlite3_errmsg(m_db)};
    }
    if (copied) {
        sqlite3_extended_result_codes(m_db, 1);
        const Result<void> schema = PrepareSchema();
        if (!schema && schema.Kind() == FailureKind::Newer) {
            m_note = schema.Problem();
        } else if (!schema) {
            copied = schema;
        }
    }
    unlink((copy + "-journal").c_str());
    unlink(copy.c_str());
    rmdir(folder.c_str());
    if (!copied) {
        Close();
        return Failure{why + "its private copy cannot be read: " + copied.Problem()};
    }
    return {};
}
