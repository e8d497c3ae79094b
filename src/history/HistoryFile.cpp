#include "history/HistoryFile.h"

#include <QDateTime>
#include <QFile>
#include <sqlite3.h>

namespace vorlan {

namespace {

// Addresses and shortcut paths stand once, in links and shortcuts; a result names its link
// and shortcut and, only where the redirects led elsewhere, its final address.
// A tidy's journal: each action with what it takes to put it back and to tell whether the
// file changed since (kind 'rewrite': the file's old and new bytes; 'move': its bytes and
// both paths; 'folder': a folder the tidy made), in the state 'recorded' before it is done,
// then 'done', 'failed' or 'undone'.
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
CREATE TABLE shortcuts(
  id INTEGER PRIMARY KEY,
  path TEXT NOT NULL UNIQUE);
CREATE TABLE results(
  id INTEGER PRIMARY KEY,
  link_id INTEGER NOT NULL,
  run_id INTEGER NOT NULL,
  checked_at INTEGER NOT NULL,
  shortcut_id INTEGER NOT NULL,
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
CREATE INDEX results_by_shortcut ON results(shortcut_id, checked_at);
CREATE TABLE tidies(
  id INTEGER PRIMARY KEY,
  started_at INTEGER NOT NULL);
CREATE TABLE tidy_actions(
  id INTEGER PRIMARY KEY,
  tidy_id INTEGER NOT NULL REFERENCES tidies(id),
  kind TEXT NOT NULL,
  path TEXT NOT NULL,
  new_path TEXT,
  old_bytes BLOB,
  new_bytes BLOB,
  state TEXT NOT NULL);
CREATE INDEX tidy_actions_by_tidy ON tidy_actions(tidy_id, id);
PRAGMA user_version = 1;
COMMIT;
)sql";

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

QString historyFileIn(const QString& workingFolder) {
    return workingFolder + QStringLiteral("/history.sqlite");
}

Result<sqlite::Database> openHistoryFile(const QString& path) {
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
    if (schema.value() > kHistorySchemaVersion)
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
    return opened;
}

} // namespace vorlan
