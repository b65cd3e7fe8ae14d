#pragma once

#include "history/history_clock.h"
#include "platform/result.h"
#include "report/report_format.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

// The reading history, beside the reports in the program folder.
inline constexpr char kHistoryFileName[] = "history.sqlite";

// A drive is known by its identity (model and serial number), not by its
// drive number, which changes with the scan. Samples are attribute lines
// without the auxiliary field, which the history does not keep.

// One entry of a drive's self-test log, in the words of the report.
struct SelfTestSample {
    std::string type;    // short, extended, ...
    std::string outcome; // ok, aborted, interrupted, failed, running, unknown
    int code = 0;
    std::optional<std::int64_t> hours; // power-on hours when it ended
    std::optional<std::int64_t> lba;   // first failing LBA
    std::string text;
};

// A self-test log entry as the history keeps it: firstSeen is the time of
// the first reading whose log held it, an hour (a minute while followed)
// after the test ended at most; the drive's log itself holds no date.
struct StoredSelfTest {
    std::int64_t firstSeen = 0;
    SelfTestSample entry;
};

// One drive as one run read it.
struct DriveReading {
    DriveIdentity drive;
    std::vector<AttributeReading> attributes;
    std::vector<SelfTestSample> selfTests{}; // its log, newest first
};

// One stored sample: the attribute as it was from time on.
struct HistoryPoint {
    std::int64_t time = 0; // seconds since 1970, UTC
    AttributeReading sample;
};

// A drive the history knows, with when it was first and last read.
struct KnownDrive {
    DriveIdentity drive;
    std::int64_t firstSeen = 0;
    std::int64_t lastSeen = 0;
};

// The last change of an attribute's raw value: from what, to what, and when
// the new value was first read.
struct RawChange {
    int id = 0;
    std::int64_t time = 0;
    std::int64_t from = 0;
    std::int64_t to = 0;
};

// The history store: SQLite, written by the collector only (under its folder
// lock), read by everyone else. It stores an attribute's sample only when it
// differs from the one before, so a reading that changes nothing costs only
// the drive's last-seen time. Samples older than kFullResolutionSeconds
// (counted from the clock, not from the newest reading) are thinned to the
// last one of each day (UTC).
class CHistoryStore {
public:
    // 2 added the self-test log. A reader opens a file of version 1 (not yet
    // migrated by a collector) as one without self-tests; a writer migrates it.
    static constexpr int kSchemaVersion = 2;
    static constexpr std::int64_t kFullResolutionSeconds = 90 * 86400;
    // A reading dated further ahead of the clock than this is not recorded.
    static constexpr std::int64_t kFutureToleranceSeconds = 86400;

    enum class Access { Read, Write };

    explicit CHistoryStore(const CHistoryClock& clock = SystemHistoryClock()) : m_clock(clock) {}
    ~CHistoryStore();
    CHistoryStore(const CHistoryStore&) = delete;
    CHistoryStore& operator=(const CHistoryStore&) = delete;

    // Opens (for Write: creates, mode 0644) the store at path. A Failure when
    // it is missing (Read; kind Missing), damaged, of a newer schema (Write;
    // kind Newer), or cannot be opened; a link at path is never followed. A
    // reader opens a newer schema, reads it as far as this program knows it,
    // and finds why in Note().
    // For Write the file must be a regular file with no other link and,
    // when root writes, root's own: its mode is set on the opened file, so
    // that no file swapped in at path is changed. A reader that finds the
    // journal of an interrupted write (which only a writer may roll back)
    // reads a private copy rolled back to the last complete run.
    Result<void> Open(const std::string& path, Access access);
    // After Open succeeded: one line the user should see (a newer schema read
    // as far as this program knows it); empty otherwise.
    const std::string& Note() const { return m_note; }

    // Records one run in one transaction, so that a reader sees all of it or
    // none of it. Drives without a serial number are left out; a run dated
    // more than kFutureToleranceSeconds ahead of the clock is refused. A
    // second reading at the same time replaces the first. Thins what has
    // left the full-resolution window. A self-test log entry is stored once:
    // an entry is new when the log holds more entries of its type, result,
    // power-on hour and LBA than the history stores for the drive (the log
    // is a ring of the newest entries, read again every run); entries of a
    // test still running are not stored.
    Result<void> RecordRun(std::int64_t time, const std::vector<DriveReading>& drives);

    // Every query gives a Failure when SQLite fails (a damaged file, an
    // unreadable page), never a shorter or empty answer instead.

    Result<std::vector<DriveIdentity>> Drives() const;
    // nullopt when the history does not know the drive.
    Result<std::optional<std::int64_t>> LastSeen(const DriveIdentity& drive) const;
    // The drive's samples, oldest first (ties by id); only id's when given.
    // For a chart; the queries below answer single facts from the index.
    Result<std::vector<HistoryPoint>> Readings(const DriveIdentity& drive,
                                               std::optional<int> id = std::nullopt) const;

    // Queries that answer from the index, whatever the history's length.

    // Every drive the history knows, oldest first.
    Result<std::vector<KnownDrive>> KnownDrives() const;
    // The newest sample of attribute id whose raw value is not raw: what the
    // raw value was before it became raw; nullopt when there is none.
    Result<std::optional<HistoryPoint>> LastRawOtherThan(const DriveIdentity& drive, int id,
                                                         std::int64_t raw) const;
    // The sample of attribute id in force at time: the newest at or before it.
    Result<std::optional<HistoryPoint>> SampleAt(const DriveIdentity& drive, int id,
                                                 std::int64_t time) const;
    // The oldest stored sample of attribute id.
    Result<std::optional<HistoryPoint>> FirstSample(const DriveIdentity& drive, int id) const;
    // Per attribute whose raw value ever changed, its last change; by id.
    Result<std::vector<RawChange>> LastRawChanges(const DriveIdentity& drive) const;

    // The drive's stored self-tests, newest first; empty for a history of
    // version 1 or a drive it does not know.
    Result<std::vector<StoredSelfTest>> SelfTests(const DriveIdentity& drive) const;

    // Removes a drive with all its samples (a drive taken out on purpose is
    // no longer missed); false when the history does not know it.
    Result<bool> Forget(const DriveIdentity& drive);

private:
    Result<void> Execute(const char* sql);
    Result<void> OpenForWriting(const std::string& path);
    Result<void> OpenRolledBackCopy(const std::string& path);
    Result<void> PrepareSchema();
    Result<void> Migrate();
    void Close();
    struct RunStatements;
    Result<void> RecordDrive(std::int64_t time, const DriveReading& reading, RunStatements& sql);
    Result<void> RecordSelfTests(std::int64_t drive, std::int64_t time,
                                 const std::vector<SelfTestSample>& log, RunStatements& sql);
    Result<void> Thin(std::int64_t time);
    std::string Problem(const char* what) const;

    const CHistoryClock& m_clock;
    sqlite3* m_db = nullptr;
    std::string m_note;
    std::int64_t m_version = 0; // the schema version of the open file
};
