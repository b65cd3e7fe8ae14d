#include "history/history_store.h"

#include <algorithm>
#include <ctime>
#include <sqlite3.h>

namespace {

constexpr std::int64_t kDay = 86400;

const char kCreateSchema[] = R"sql(
CREATE TABLE IF NOT EXISTS meta(
    key TEXT PRIMARY KEY,
    value INTEGER NOT NULL
) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS drives(
    id INTEGER PRIMARY KEY,
    model TEXT NOT NULL,
    serial TEXT NOT NULL,
    first_seen INTEGER NOT NULL,
    last_seen INTEGER NOT NULL,
    UNIQUE(model, serial)
);
CREATE TABLE IF NOT EXISTS series(
    drive INTEGER NOT NULL,
    attr INTEGER NOT NULL,
    PRIMARY KEY(drive, attr)
) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS samples(
    drive INTEGER NOT NULL,
    attr INTEGER NOT NULL,
    time INTEGER NOT NULL,
    value INTEGER NOT NULL,
    worst INTEGER NOT NULL,
    threshold INTEGER NOT NULL,
    raw INTEGER NOT NULL,
    PRIMARY KEY(drive, attr, time)
) WITHOUT ROWID;
)sql";

// Version 2: the drives' self-test log entries, each once. Not unique: two
// tests of one kind may end alike within the same power-on hour.
const char kCreateSelfTests[] = R"sql(
CREATE TABLE IF NOT EXISTS self_tests(
    drive INTEGER NOT NULL,
    type TEXT NOT NULL,
    outcome TEXT NOT NULL,
    code INTEGER NOT NULL,
    hours INTEGER,
    lba INTEGER,
    text TEXT NOT NULL,
    first_seen INTEGER NOT NULL
);
CREATE INDEX IF NOT EXISTS self_tests_entry ON self_tests(drive, type, code, hours, lba);
)sql";

// One prepared statement, finalised on every path.
class CStatement {
public:
    CStatement(sqlite3* db, const char* sql) {
        if (db == nullptr || sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr) != SQLITE_OK) {
            m_stmt = nullptr;
            // Kept now: the next prepare that succeeds clears SQLite's message.
            m_prepareError = db != nullptr ? sqlite3_errmsg(db) : "no database";
        }
    }
    ~CStatement() { sqlite3_finalize(m_stmt); }
    CStatement(const CStatement&) = delete;
    CStatement& operator=(const CStatement&) = delete;

    bool IsValid() const { return m_stmt != nullptr; }
    // Why the statement could not be prepared; empty when it was.
    const std::string& PrepareError() const { return m_prepareError; }
    CStatement& Bind(int index, std::int64_t value) {
        sqlite3_bind_int64(m_stmt, index, value);
        return *this;
    }
    CStatement& Bind(int index, const std::optional<std::int64_t>& value) {
        if (value) {
            sqlite3_bind_int64(m_stmt, index, *value);
        } else {
            sqlite3_bind_null(m_stmt, index);
        }
        return *this;
    }
    CStatement& Bind(int index, const std::string& text) {
        sqlite3_bind_text(m_stmt, index, text.data(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT);
        return *this;
    }
    // SQLITE_ROW, SQLITE_DONE or an error.
    int Step() { return m_stmt == nullptr ? SQLITE_MISUSE : sqlite3_step(m_stmt); }
    bool Run() { return Step() == SQLITE_DONE; }
    void Reset() {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
    std::int64_t Int(int column) const { return sqlite3_column_int64(m_stmt, column); }
    std::optional<std::int64_t> OptionalInt(int column) const {
        return sqlite3_column_type(m_stmt, column) == SQLITE_NULL
                   ? std::nullopt
                   : std::optional<std::int64_t>(Int(column));
    }
    std::string Text(int column) const {
        const auto* text = sqlite3_column_text(m_stmt, column);
        return text == nullptr
                   ? std::string()
                   : std::string(reinterpret_cast<const char*>(text),
                                 static_cast<std::size_t>(sqlite3_column_bytes(m_stmt, column)));
    }

private:
    sqlite3_stmt* m_stmt = nullptr;
    std::string m_prepareError;
};

bool SameSample(const CStatement& last, const AttributeReading& sample) {
    return last.Int(0) == sample.current && last.Int(1) == sample.worst &&
           last.Int(2) == sample.threshold && last.Int(3) == sample.raw;
}

std::string DateOf(std::int64_t time) {
    const std::time_t t = static_cast<std::time_t>(time);
    std::tm utc{};
    char text[32] = "?";
    if (gmtime_r(&t, &utc) != nullptr) {
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &utc);
    }
    return text;
}

} // namespace

CHistoryStore::~CHistoryStore() {
    sqlite3_close_v2(m_db);
}

std::string CHistoryStore::Problem(const char* what) const {
    return std::string(what) + ": " + (m_db != nullptr ? sqlite3_errmsg(m_db) : "no database");
}

Result<void> CHistoryStore::Execute(const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        Failure failure{std::string("the history database: ") +
                        (message != nullptr ? message : "?")};
        sqlite3_free(message);
        return failure;
    }
    return {};
}

Result<void> CHistoryStore::PrepareSchema() {
    CStatement version(m_db, "PRAGMA user_version");
    if (version.Step() != SQLITE_ROW) {
        return Failure{Problem("the history database cannot be read")};
    }
    const std::int64_t found = version.Int(0);
    if (found > kSchemaVersion) {
        return Failure{"the history database has a newer layout (version " + std::to_string(found) +
                           ") than this program knows; it is left alone",
                       FailureKind::Newer};
    }
    if (found == kSchemaVersion) {
        m_version = found;
        return {};
    }
    if (sqlite3_db_readonly(m_db, "main") == 1) {
        // Version 1 lacks only the self-tests, which its readers see as none.
        if (found == 1) {
            m_version = found;
            return {};
        }
        return Failure{"the history database has an older layout and cannot be updated here"};
    }
    if (Result<void> begun = Execute("BEGIN IMMEDIATE"); !begun) {
        return begun;
    }
    // Each step in the one transaction: a failure leaves the file as it was.
    Result<void> migrated = Migrate();
    if (migrated) {
        migrated = Execute("COMMIT");
    }
    if (migrated) {
        m_version = kSchemaVersion;
        return {};
    }
    (void)Execute("ROLLBACK");
    return migrated;
}

Result<void> CHistoryStore::Migrate() {
    // Read again under the write lock: another writer may have migrated it.
    CStatement version(m_db, "PRAGMA user_version");
    if (version.Step() != SQLITE_ROW) {
        return Failure{Problem("the history database cannot be read")};
    }
    const std::int64_t from = version.Int(0);
    version.Reset();
    if (from > kSchemaVersion) {
        return Failure{"the history database has a newer layout (version " + std::to_string(from) +
                           ") than this program knows; it is left alone",
                       FailureKind::Newer};
    }
    Result<void> migrated;
    // Version 0 is an empty file.
    if (from < 1) {
        migrated = Execute(kCreateSchema);
    }
    if (migrated && from < 2) {
        migrated = Execute(kCreateSelfTests);
    }
    const std::string set = "PRAGMA user_version = " + std::to_string(kSchemaVersion);
    if (migrated && from < kSchemaVersion) {
        migrated = Execute(set.c_str());
    }
    return migrated;
}

// The statements of one recorded run, prepared once for all its drives.
struct CHistoryStore::RunStatements {
    explicit RunStatements(sqlite3* db)
        : upsert(db, "INSERT INTO drives(model, serial, first_seen, last_seen) "
                     "VALUES(?1, ?2, ?3, ?3) ON CONFLICT(model, serial) DO UPDATE SET "
                     "first_seen = min(first_seen, ?3), last_seen = max(last_seen, ?3) "
                     "RETURNING id"),
          last(db, "SELECT value, worst, threshold, raw FROM samples "
                   "WHERE drive = ?1 AND attr = ?2 AND time < ?3 ORDER BY time DESC LIMIT 1"),
          insert(db, "INSERT OR REPLACE INTO samples(drive, attr, time, value, worst, threshold, "
                     "raw) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7)"),
          erase(db, "DELETE FROM samples WHERE drive = ?1 AND attr = ?2 AND time = ?3"),
          series(db, "INSERT OR IGNORE INTO series(drive, attr) VALUES(?1, ?2)"),
          storedTests(db, "SELECT count(*) FROM self_tests WHERE drive = ?1 AND type = ?2 "
                          "AND code = ?3 AND hours IS ?4 AND lba IS ?5"),
          insertTest(db, "INSERT INTO self_tests(drive, type, outcome, code, hours, lba, text, "
                         "first_seen) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)") {}
    // A Failure saying why one of them could not be prepared.
    Result<void> Prepared() const {
        for (const CStatement* statement :
             {&upsert, &last, &insert, &erase, &series, &storedTests, &insertTest}) {
            if (!statement->IsValid()) {
                return Failure{"the history database cannot be written: " +
                               statement->PrepareError()};
            }
        }
        return {};
    }
    CStatement upsert;
    CStatement last;
    CStatement insert;
    CStatement erase;
    CStatement series;
    CStatement storedTests;
    CStatement insertTest;
};

namespace {

bool SameEntry(const SelfTestSample& a, const SelfTestSample& b) {
    return a.type == b.type && a.code == b.code && a.hours == b.hours && a.lba == b.lba;
}

} // namespace

Result<void> CHistoryStore::RecordSelfTests(std::int64_t drive, std::int64_t time,
                                            const std::vector<SelfTestSample>& log,
                                            RunStatements& sql) {
    // Oldest first, so that the row order of one run keeps the log's order.
    for (auto entry = log.rbegin(); entry != log.rend(); ++entry) {
        if (entry->outcome == "running") {
            continue; // it ends with another result, stored then
        }
        // Counted once, at the oldest of its kind in the log.
        if (std::any_of(entry.base(), log.end(),
                        [&](const SelfTestSample& older) { return SameEntry(older, *entry); })) {
            continue;
        }
        const auto inLog = std::count_if(
            log.begin(), log.end(), [&](const SelfTestSample& e) { return SameEntry(e, *entry); });
        sql.storedTests.Reset();
        sql.storedTests.Bind(1, drive)
            .Bind(2, entry->type)
            .Bind(3, entry->code)
            .Bind(4, entry->hours)
            .Bind(5, entry->lba);
        if (sql.storedTests.Step() != SQLITE_ROW) {
            return Failure{Problem("reading the history before recording failed")};
        }
        for (std::int64_t n = sql.storedTests.Int(0); n < inLog; ++n) {
            sql.insertTest.Reset();
            if (!sql.insertTest.Bind(1, drive)
                     .Bind(2, entry->type)
                     .Bind(3, entry->outcome)
                     .Bind(4, entry->code)
                     .Bind(5, entry->hours)
                     .Bind(6, entry->lba)
                     .Bind(7, entry->text)
                     .Bind(8, time)
                     .Run()) {
                return Failure{Problem("recording a self-test in the history failed")};
            }
        }
    }
    sql.storedTests.Reset();
    return {};
}

Result<void> CHistoryStore::RecordDrive(std::int64_t time, const DriveReading& reading,
                                        RunStatements& sql) {
    sql.upsert.Reset();
    sql.upsert.Bind(1, reading.drive.model).Bind(2, reading.drive.serial).Bind(3, time);
    if (sql.upsert.Step() != SQLITE_ROW) {
        return Failure{Problem("recording a drive in the history failed")};
    }
    const std::int64_t drive = sql.upsert.Int(0);
    sql.upsert.Reset();
    for (const AttributeReading& sample : reading.attributes) {
        sql.last.Reset();
        sql.last.Bind(1, drive).Bind(2, sample.id).Bind(3, time);
        const int step = sql.last.Step();
        const bool known = step == SQLITE_ROW;
        if (step != SQLITE_ROW && step != SQLITE_DONE) {
            return Failure{Problem("reading the history before recording failed")};
        }
        if (known && SameSample(sql.last, sample)) {
            // The same as before this second: an earlier reading of this
            // second that differed is replaced by no change at all.
            sql.erase.Reset();
            if (!sql.erase.Bind(1, drive).Bind(2, sample.id).Bind(3, time).Run()) {
                return Failure{Problem("recording a reading in the history failed")};
            }
            continue;
        }
        sql.insert.Reset();
        sql.series.Reset();
        if (!sql.insert.Bind(1, drive)
                 .Bind(2, sample.id)
                 .Bind(3, time)
                 .Bind(4, sample.current)
                 .Bind(5, sample.worst)
                 .Bind(6, sample.threshold)
                 .Bind(7, sample.raw)
                 .Run() ||
            (!known && !sql.series.Bind(1, drive).Bind(2, sample.id).Run())) {
            return Failure{Problem("recording a reading in the history failed")};
        }
    }
    return RecordSelfTests(drive, time, reading.selfTests, sql);
}

Result<void> CHistoryStore::Thin(std::int64_t now) {
    const std::int64_t cutoff = (now - kFullResolutionSeconds) / kDay * kDay;
    CStatement done(m_db, "SELECT value FROM meta WHERE key = 'thinned_until'");
    const int step = done.Step();
    if (step != SQLITE_ROW && step != SQLITE_DONE) {
        return Failure{Problem("thinning the history failed")};
    }
    const std::int64_t from = step == SQLITE_ROW ? done.Int(0) : 0;
    if (cutoff == from) {
        return {};
    }
    // A mark ahead of the clock (left by a clock fault) would stop thinning
    // until then: it comes back to the clock, and the days between, thinned
    // already, need nothing more.
    if (cutoff < from) {
        CStatement mark(m_db,
                        "INSERT OR REPLACE INTO meta(key, value) VALUES('thinned_until', ?1)");
        if (!mark.Bind(1, cutoff).Run()) {
            return Failure{Problem("thinning the history failed")};
        }
        return {};
    }
    // Before the cutoff each day keeps its last sample of each attribute.
    CStatement thin(m_db, "DELETE FROM samples WHERE drive = ?1 AND attr = ?2 "
                          "AND time >= ?3 AND time < ?4 AND EXISTS ("
                          "SELECT 1 FROM samples AS later WHERE later.drive = ?1 "
                          "AND later.attr = ?2 AND later.time > samples.time "
                          "AND later.time < (samples.time / 86400 + 1) * 86400)");
    CStatement series(m_db, "SELECT drive, attr FROM series");
    int row = SQLITE_ROW;
    while ((row = series.Step()) == SQLITE_ROW) {
        thin.Reset();
        if (!thin.Bind(1, series.Int(0))
                 .Bind(2, series.Int(1))
                 .Bind(3, from)
                 .Bind(4, cutoff)
                 .Run()) {
            return Failure{Problem("thinning the history failed")};
        }
    }
    if (row != SQLITE_DONE) {
        return Failure{Problem("thinning the history failed")};
    }
    CStatement mark(m_db, "INSERT OR REPLACE INTO meta(key, value) VALUES('thinned_until', ?1)");
    if (!mark.Bind(1, cutoff).Run()) {
        return Failure{Problem("thinning the history failed")};
    }
    return {};
}

Result<void> CHistoryStore::RecordRun(std::int64_t time, const std::vector<DriveReading>& drives) {
    if (m_db == nullptr || sqlite3_db_readonly(m_db, "main") != 0) {
        return Failure{"the history database is not open for writing"};
    }
    const std::int64_t now = m_clock.Now();
    if (time > now + kFutureToleranceSeconds) {
        return Failure{"the reading dated " + DateOf(time) +
                       " is more than a day ahead of the system clock (" + DateOf(now) +
                       "); it is not recorded in the history"};
    }
    if (Result<void> begun = Execute("BEGIN IMMEDIATE"); !begun) {
        return begun;
    }
    RunStatements sql(m_db);
    Result<void> recorded = sql.Prepared();
    for (auto reading = drives.begin(); recorded && reading != drives.end(); ++reading) {
        // A drive without a serial number cannot be told from another of its model.
        if (!reading->drive.serial.empty()) {
            recorded = RecordDrive(time, *reading, sql);
        }
    }
    if (recorded) {
        recorded = Thin(now);
    }
    if (recorded) {
        recorded = Execute("COMMIT");
    }
    if (recorded) {
        return {};
    }
    (void)Execute("ROLLBACK");
    return recorded;
}

namespace {

constexpr char kSampleColumns[] = "SELECT time, attr, value, worst, threshold, raw FROM samples ";

HistoryPoint PointOf(const CStatement& row) {
    HistoryPoint point;
    point.time = row.Int(0);
    point.sample.id = static_cast<int>(row.Int(1));
    point.sample.current = static_cast<int>(row.Int(2));
    point.sample.worst = static_cast<int>(row.Int(3));
    point.sample.threshold = static_cast<int>(row.Int(4));
    point.sample.raw = row.Int(5);
    return point;
}

Failure ReadFailure(sqlite3* db) {
    if (db == nullptr) {
        return Failure{"the history database cannot be read: it is not open"};
    }
    const int code = sqlite3_errcode(db);
    return Failure{std::string(code == SQLITE_CORRUPT || code == SQLITE_NOTADB
                                   ? "the history database is damaged: "
                                   : "the history database cannot be read: ") +
                   sqlite3_errmsg(db)};
}

// The first column of sql's row for drive (bound as ?1 model, ?2 serial);
// nullopt when the history does not know the drive.
Result<std::optional<std::int64_t>> DriveColumn(sqlite3* db, const char* sql,
                                                const DriveIdentity& drive) {
    CStatement find(db, sql);
    if (!find.IsValid()) {
        return ReadFailure(db);
    }
    find.Bind(1, drive.model).Bind(2, drive.serial);
    switch (find.Step()) {
    case SQLITE_ROW:
        return std::optional<std::int64_t>(find.Int(0));
    case SQLITE_DONE:
        return std::optional<std::int64_t>();
    default:
        return ReadFailure(db);
    }
}

// The drive's row id; nullopt when the history does not know the drive.
Result<std::optional<std::int64_t>> DriveRow(sqlite3* db, const DriveIdentity& drive) {
    return DriveColumn(db, "SELECT id FROM drives WHERE model = ?1 AND serial = ?2", drive);
}

// The one sample that sql (after the sample columns; ?1 drive row, ?2 id,
// ?3 argument) selects for drive.
Result<std::optional<HistoryPoint>> OnePoint(sqlite3* db, const DriveIdentity& drive, int id,
                                             std::int64_t argument, const char* condition) {
    const auto row = DriveRow(db, drive);
    if (!row) {
        return Failure{row.Problem()};
    }
    if (!row.Value()) {
        return std::optional<HistoryPoint>();
    }
    CStatement find(db, (std::string(kSampleColumns) + condition).c_str());
    if (!find.IsValid()) {
        return ReadFailure(db);
    }
    find.Bind(1, *row.Value()).Bind(2, id).Bind(3, argument);
    switch (find.Step()) {
    case SQLITE_ROW:
        return std::optional<HistoryPoint>(PointOf(find));
    case SQLITE_DONE:
        return std::optional<HistoryPoint>();
    default:
        return ReadFailure(db);
    }
}

} // namespace

Result<std::vector<KnownDrive>> CHistoryStore::KnownDrives() const {
    CStatement list(m_db, "SELECT model, serial, first_seen, last_seen FROM drives ORDER BY id");
    if (!list.IsValid()) {
        return ReadFailure(m_db);
    }
    std::vector<KnownDrive> drives;
    int step = SQLITE_ROW;
    while ((step = list.Step()) == SQLITE_ROW) {
        drives.push_back({{list.Text(0), list.Text(1)}, list.Int(2), list.Int(3)});
    }
    if (step != SQLITE_DONE) {
        return ReadFailure(m_db);
    }
    return drives;
}

Result<std::vector<DriveIdentity>> CHistoryStore::Drives() const {
    const auto known = KnownDrives();
    if (!known) {
        return Failure{known.Problem()};
    }
    std::vector<DriveIdentity> drives;
    for (const KnownDrive& drive : known.Value()) {
        drives.push_back(drive.drive);
    }
    return drives;
}

Result<std::optional<std::int64_t>> CHistoryStore::LastSeen(const DriveIdentity& drive) const {
    return DriveColumn(m_db, "SELECT last_seen FROM drives WHERE model = ?1 AND serial = ?2",
                       drive);
}

Result<std::vector<HistoryPoint>> CHistoryStore::Readings(const DriveIdentity& drive,
                                                          std::optional<int> id) const {
    const auto row = DriveRow(m_db, drive);
    if (!row) {
        return Failure{row.Problem()};
    }
    std::vector<HistoryPoint> points;
    if (!row.Value()) {
        return points;
    }
    CStatement list(
        m_db, (std::string(kSampleColumns) + (id ? "WHERE drive = ?1 AND attr = ?2 ORDER BY time"
                                                 : "WHERE drive = ?1 ORDER BY time, attr"))
                  .c_str());
    if (!list.IsValid()) {
        return ReadFailure(m_db);
    }
    list.Bind(1, *row.Value());
    if (id) {
        list.Bind(2, *id);
    }
    int step = SQLITE_ROW;
    while ((step = list.Step()) == SQLITE_ROW) {
        points.push_back(PointOf(list));
    }
    if (step != SQLITE_DONE) {
        return ReadFailure(m_db);
    }
    return points;
}

Result<std::optional<HistoryPoint>>
CHistoryStore::LastRawOtherThan(const DriveIdentity& drive, int id, std::int64_t raw) const {
    return OnePoint(m_db, drive, id, raw,
                    "WHERE drive = ?1 AND attr = ?2 AND raw <> ?3 ORDER BY time DESC LIMIT 1");
}

Result<std::optional<HistoryPoint>> CHistoryStore::SampleAt(const DriveIdentity& drive, int id,
                                                            std::int64_t time) const {
    return OnePoint(m_db, drive, id, time,
                    "WHERE drive = ?1 AND attr = ?2 AND time <= ?3 ORDER BY time DESC LIMIT 1");
}

Result<std::optional<HistoryPoint>> CHistoryStore::FirstSample(const DriveIdentity& drive,
                                                               int id) const {
    // The unused argument binds to no parameter, which SQLite ignores.
    return OnePoint(m_db, drive, id, 0, "WHERE drive = ?1 AND attr = ?2 ORDER BY time LIMIT 1");
}

Result<std::vector<RawChange>> CHistoryStore::LastRawChanges(const DriveIdentity& drive) const {
    const auto row = DriveRow(m_db, drive);
    if (!row) {
        return Failure{row.Problem()};
    }
    std::vector<RawChange> changes;
    if (!row.Value()) {
        return changes;
    }
    // Per attribute: its newest sample, the newest one before with another
    // raw value, and the first one after that, when the value changed.
    CStatement series(m_db, "SELECT attr FROM series WHERE drive = ?1 ORDER BY attr");
    CStatement newest(m_db, "SELECT raw FROM samples WHERE drive = ?1 AND attr = ?2 "
                            "ORDER BY time DESC LIMIT 1");
    CStatement before(m_db, "SELECT time, raw FROM samples WHERE drive = ?1 AND attr = ?2 "
                            "AND raw <> ?3 ORDER BY time DESC LIMIT 1");
    CStatement after(m_db, "SELECT time FROM samples WHERE drive = ?1 AND attr = ?2 "
                           "AND time > ?3 ORDER BY time LIMIT 1");
    for (const CStatement* statement : {&series, &newest, &before, &after}) {
        if (!statement->IsValid()) {
            return Failure{"the history database cannot be read: " + statement->PrepareError()};
        }
    }
    const std::int64_t driveRow = *row.Value();
    series.Bind(1, driveRow);
    int step = SQLITE_ROW;
    while ((step = series.Step()) == SQLITE_ROW) {
        const std::int64_t id = series.Int(0);
        newest.Reset();
        before.Reset();
        after.Reset();
        const int last = newest.Bind(1, driveRow).Bind(2, id).Step();
        if (last == SQLITE_DONE) {
            continue; // a series without samples has no change
        }
        if (last != SQLITE_ROW) {
            return ReadFailure(m_db);
        }
        const std::int64_t to = newest.Int(0);
        const int found = before.Bind(1, driveRow).Bind(2, id).Bind(3, to).Step();
        if (found == SQLITE_DONE) {
            continue;
        }
        if (found != SQLITE_ROW ||
            after.Bind(1, driveRow).Bind(2, id).Bind(3, before.Int(0)).Step() != SQLITE_ROW) {
            return ReadFailure(m_db);
        }
        changes.push_back({static_cast<int>(id), after.Int(0), before.Int(1), to});
    }
    if (step != SQLITE_DONE) {
        return ReadFailure(m_db);
    }
    return changes;
}

Result<std::vector<StoredSelfTest>> CHistoryStore::SelfTests(const DriveIdentity& drive) const {
    std::vector<StoredSelfTest> tests;
    if (m_version < 2) {
        return tests;
    }
    const auto row = DriveRow(m_db, drive);
    if (!row) {
        return Failure{row.Problem()};
    }
    if (!row.Value()) {
        return tests;
    }
    CStatement list(m_db,
                    "SELECT first_seen, type, outcome, code, hours, lba, text FROM self_tests "
                    "WHERE drive = ?1 ORDER BY first_seen DESC, rowid DESC");
    if (!list.IsValid()) {
        return ReadFailure(m_db);
    }
    list.Bind(1, *row.Value());
    int step = SQLITE_ROW;
    while ((step = list.Step()) == SQLITE_ROW) {
        tests.push_back({list.Int(0),
                         {list.Text(1), list.Text(2), static_cast<int>(list.Int(3)),
                          list.OptionalInt(4), list.OptionalInt(5), list.Text(6)}});
    }
    if (step != SQLITE_DONE) {
        return ReadFailure(m_db);
    }
    return tests;
}

Result<bool> CHistoryStore::Forget(const DriveIdentity& drive) {
    if (m_db == nullptr || sqlite3_db_readonly(m_db, "main") != 0) {
        return Failure{"the history database is not open for writing"};
    }
    if (Result<void> begun = Execute("BEGIN IMMEDIATE"); !begun) {
        return begun.Error();
    }
    const auto row = DriveRow(m_db, drive);
    Result<void> done = row ? Result<void>() : Result<void>(row.Error());
    if (done && row.Value()) {
        bool erased = true;
        for (const char* sql :
             {"DELETE FROM samples WHERE drive = ?1", "DELETE FROM series WHERE drive = ?1",
              "DELETE FROM self_tests WHERE drive = ?1", "DELETE FROM drives WHERE id = ?1"}) {
            CStatement erase(m_db, sql);
            erased = erased && erase.Bind(1, *row.Value()).Run();
        }
        if (!erased) {
            done = Failure{Problem("forgetting a drive failed")};
        }
    }
    if (done) {
        done = Execute("COMMIT");
    }
    if (done) {
        return row.Value().has_value();
    }
    (void)Execute("ROLLBACK");
    return done.Error();
}
