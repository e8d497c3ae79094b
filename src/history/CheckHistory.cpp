#include "history/CheckHistory.h"

#include <QFile>
#include <QRandomGenerator>
#include <sqlite3.h>

namespace vorlan {

namespace {

// Addresses stand once, in links; a result names its link and, only where the redirects led
// elsewhere, its final address.
constexpr const char* kSchema = R"sql(
BEGIN IMMEDIATE;
CREATE TABLE runs(
  id INTEGER PRIMARY KEY,
  started_at INTEGER NOT NULL,
  ended_at INTEGER,
  stopped INTEGER NOT NULL DEFAULT 0);
CREATE TABLE links(
  id INTEGER PRIMARY KEY,
  address TEXT NOT NULL UNIQUE,
  last_checked INTEGER NOT NULL);
CREATE INDEX links_by_last_check ON links(last_checked);
CREATE TABLE results(
  id INTEGER PRIMARY KEY,
  link_id INTEGER NOT NULL,
  run_id INTEGER NOT NULL,
  checked_at INTEGER NOT NULL,
  shortcut TEXT NOT NULL,
  shortcut_size INTEGER,
  shortcut_modified INTEGER,
  status TEXT NOT NULL,
  code INTEGER NOT NULL,
  final_address TEXT,
  hops TEXT NOT NULL,
  good INTEGER NOT NULL,
  failing_since INTEGER,
  last_good INTEGER,
  failures INTEGER NOT NULL);
CREATE INDEX results_by_link ON results(link_id, checked_at);
PRAGMA user_version = 1;
COMMIT;
)sql";

qint64 millisecondsOf(const QDateTime& time) {
    return time.toMSecsSinceEpoch();
}

std::optional<qint64> millisecondsOf(const std::optional<QDateTime>& time) {
    return time ? std::optional(time->toMSecsSinceEpoch()) : std::nullopt;
}

std::optional<QDateTime> timeOf(std::optional<qint64> milliseconds) {
    if (!milliseconds)
        return std::nullopt;
    return QDateTime::fromMSecsSinceEpoch(*milliseconds, Qt::UTC);
}

bool damaged(int code) {
    return code == SQLITE_NOTADB || code == SQLITE_CORRUPT;
}

// Moves the file and its write-ahead log aside under one new name; gives that name.
QString renameAside(const QString& path) {
    const QString aside =
        path + QStringLiteral(".damaged-") +
        QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddTHHmmsszzzZ"));
    for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")}) {
        if (QFile::exists(path + suffix))
            QFile::rename(path + suffix, aside + suffix);
    }
    return aside;
}

// The schema version the file holds, 0 for a new file; or the failure of reading it.
Result<qint64> schemaVersion(sqlite::Database& db) {
    sqlite::Statement version(db, "PRAGMA user_version");
    if (version.step())
        return version.number(0);
    return Failure{db.errorCode(), db.errorText()};
}

} // namespace

Result<CheckHistory> CheckHistory::open(const QString& path) {
    Result<sqlite::Database> opened = sqlite::Database::open(path);
    if (!opened.ok())
        return opened.failure();
    sqlite::Database& db = opened.value();
    const Result<qint64> schema = schemaVersion(db);
    if (!schema.ok()) {
        const Failure& failed = schema.failure();
        if (!damaged(failed.number))
            return failed;
        opened = failed; // closes the file before it is moved
        return Failure{failed.number, QStringLiteral("%1 is damaged (%2); it was renamed to %3")
                                          .arg(path, failed.message, renameAside(path))};
    }
    if (db.readOnly())
        return Failure{SQLITE_READONLY, QStringLiteral("%1 is read-only").arg(path)};
    if (schema.value() > kSchemaVersion)
        return Failure{SQLITE_ERROR, QStringLiteral("%1 was written by a newer version").arg(path)};
    if (schema.value() == 0) {
        if (Result<void> made = db.execute(kSchema); !made.ok()) {
            static_cast<void>(db.execute("ROLLBACK"));
            return made.failure();
        }
    }
    // WAL lets a reader go on while another program writes; NORMAL syncs at checkpoints only,
    // so that a crash loses at most the last transactions, never the file.
    if (Result<void> mode = db.execute("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL");
        !mode.ok())
        return mode.failure();
    return CheckHistory(std::move(db));
}

qint64 CheckHistory::newRunKey() {
    return qint64(QRandomGenerator::system()->generate64() >> 1);
}

void CheckHistory::beginRun(const QDateTime& startedAt, qint64 runKey) {
    runStartedAt_ = startedAt;
    runKey_ = runKey;
}

void CheckHistory::rollBack() {
    static_cast<void>(db_.execute("ROLLBACK")); // a transaction that failed may be gone already
}

Result<void> CheckHistory::failure() const {
    return Failure{db_.errorCode(), db_.errorText()};
}

Result<AddressHistory> CheckHistory::historyOf(const QString& address, bool good,
                                               const QDateTime& checkedAt) {
    sqlite::Statement& last = statement(Query::LastResult);
    last.bind(1, address).bind(2, runKey_);
    AddressHistory history;
    const bool found = last.step();
    if (!found && !last.done()) {
        const Result<void> failed = failure();
        last.reset();
        return failed.failure();
    }
    const bool previousGood = found && last.number(1) != 0;
    if (found)
        history.previousStatus = last.text(0);
    if (good) {
        history.lastGood = checkedAt;
    } else {
        history.lastGood = found ? timeOf(last.optionalNumber(3)) : std::nullopt;
        const bool failingBefore = found && !previousGood;
        history.failingSince = failingBefore ? timeOf(last.optionalNumber(2)) : checkedAt;
        history.failuresInARow = failingBefore ? int(last.number(4)) + 1 : 1;
    }
    last.reset();
    return history;
}

Result<void> CheckHistory::record(const std::vector<HistoryEntry>& entries) {
    if (Result<void> begun = db_.execute("BEGIN IMMEDIATE"); !begun.ok())
        return begun;
    if (Result<void> written = writeEntries(entries); !written.ok()) {
        rollBack();
        return written;
    }
    if (Result<void> committed = db_.execute("COMMIT"); !committed.ok()) {
        rollBack();
        return committed;
    }
    return {};
}

Result<void> CheckHistory::writeEntries(const std::vector<HistoryEntry>& entries) {
    sqlite::Statement& run = statement(Query::AddRun);
    if (!run.bind(1, runKey_).bind(2, millisecondsOf(runStartedAt_)).run())
        return failure();
    sqlite::Statement& link = statement(Query::AddLink);
    sqlite::Statement& add = statement(Query::AddResult);
    sqlite::Statement& trim = statement(Query::TrimLink);
    for (const HistoryEntry& entry : entries) {
        const CheckedLink& checked = entry.link;
        link.bind(1, checked.address).bind(2, millisecondsOf(entry.checkedAt));
        if (!link.step())
            return failure();
        const qint64 linkId = link.number(0);
        link.reset();
        const bool movedOn = checked.finalAddress != checked.address;
        add.bind(1, linkId)
            .bind(2, runKey_)
            .bind(3, millisecondsOf(entry.checkedAt))
            .bind(4, checked.shortcutPath)
            .bind(5, checked.shortcutSize)
            .bind(6, checked.shortcutModified)
            .bind(7, checked.status)
            .bind(8, qint64(checked.code))
            .bind(9, movedOn ? std::optional(checked.finalAddress) : std::nullopt)
            .bind(10, checked.hops)
            .bind(11, qint64(checked.good))
            .bind(12, millisecondsOf(entry.history.failingSince))
            .bind(13, millisecondsOf(entry.history.lastGood))
            .bind(14, qint64(entry.history.failuresInARow));
        if (!add.run() || !trim.bind(1, linkId).bind(2, qint64(kResultsPerAddress)).run())
            return failure();
    }
    return {};
}

Result<void> CheckHistory::endRun(bool stopped, const QDateTime& endedAt) {
    if (Result<void> begun = db_.execute("BEGIN IMMEDIATE"); !begun.ok())
        return begun;
    const qint64 oldest = millisecondsOf(endedAt.addDays(-kDaysKept));
    const bool ended =
        statement(Query::AddRun).bind(1, runKey_).bind(2, millisecondsOf(runStartedAt_)).run() &&
        statement(Query::EndRun)
            .bind(1, millisecondsOf(endedAt))
            .bind(2, qint64(stopped))
            .bind(3, runKey_)
            .run() &&
        statement(Query::DropOldResults).bind(1, oldest).run() &&
        statement(Query::DropOldLinks).bind(1, oldest).run() &&
        statement(Query::DropOldRuns).bind(1, oldest).run();
    const Result<void> outcome = ended ? db_.execute("COMMIT") : failure();
    if (!outcome.ok())
        rollBack();
    return outcome;
}

sqlite::Statement& CheckHistory::statement(Query query) {
    static constexpr const char* kQueries[] = {
        // LastResult
        "SELECT status, good, failing_since, last_good, failures FROM links"
        " JOIN results ON link_id = links.id WHERE address = ?1 AND run_id <> ?2"
        " ORDER BY checked_at DESC, results.id DESC LIMIT 1",
        // AddRun
        "INSERT OR IGNORE INTO runs(id, started_at) VALUES(?1, ?2)",
        // AddLink
        "INSERT INTO links(address, last_checked) VALUES(?1, ?2) ON CONFLICT(address)"
        " DO UPDATE SET last_checked = max(last_checked, excluded.last_checked) RETURNING id",
        // AddResult
        "INSERT INTO results(link_id, run_id, checked_at, shortcut, shortcut_size,"
        " shortcut_modified, status, code, final_address, hops, good, failing_since, last_good,"
        " failures) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14)",
        // TrimLink: all but the newest results of a link
        "DELETE FROM results WHERE link_id = ?1 AND checked_at < (SELECT checked_at FROM results"
        " WHERE link_id = ?1 ORDER BY checked_at DESC LIMIT 1 OFFSET ?2 - 1)",
        // EndRun
        "UPDATE runs SET ended_at = ?1, stopped = ?2 WHERE id = ?3",
        // DropOldResults
        "DELETE FROM results WHERE link_id IN (SELECT id FROM links WHERE last_checked < ?1)",
        // DropOldLinks
        "DELETE FROM links WHERE last_checked < ?1",
        // DropOldRuns
        "DELETE FROM runs WHERE ended_at < ?1",
    };
    auto& prepared = statements_[size_t(query)];
    if (!prepared)
        prepared = std::make_unique<sqlite::Statement>(db_, kQueries[size_t(query)]);
    return *prepared;
}

} // namespace vorlan
