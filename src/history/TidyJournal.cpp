#include "history/TidyJournal.h"

#include "history/HistoryFile.h"

#include <QDateTime>
#include <sqlite3.h>

namespace vorlan {

namespace {

constexpr int kWaitForWriterMs = 10'000;

const char* kindName(TidyJournal::Kind kind) {
    switch (kind) {
    case TidyJournal::Kind::Rewrite:
        return "rewrite";
    case TidyJournal::Kind::Move:
        return "move";
    case TidyJournal::Kind::Folder:
        return "folder";
    }
    return "";
}

TidyJournal::Kind kindNamed(const QString& name) {
    if (name == u"move")
        return TidyJournal::Kind::Move;
    return name == u"folder" ? TidyJournal::Kind::Folder : TidyJournal::Kind::Rewrite;
}

} // namespace

Result<TidyJournal> TidyJournal::open(const QString& historyPath) {
    Result<sqlite::Database> opened = openHistoryFile(historyPath);
    if (!opened.ok())
        return opened.failure();
    sqlite3_busy_timeout(opened.value().handle(), kWaitForWriterMs);
    // A record must be on disk before the file it tells of changes, even if the power fails.
    if (Result<void> synced = opened.value().execute("PRAGMA synchronous=FULL"); !synced.ok())
        return synced.failure();
    return TidyJournal(std::move(opened).value());
}

Result<qint64> TidyJournal::record(const Action& action) {
    if (tidy_ == 0) {
        sqlite::Statement begin(db_, "INSERT INTO tidies(started_at) VALUES(?)");
        if (!begin.bind(1, QDateTime::currentMSecsSinceEpoch()).run())
            return failure();
        tidy_ = sqlite3_last_insert_rowid(db_.handle());
    }
    sqlite::Statement insert(db_, "INSERT INTO tidy_actions(tidy_id, kind, path, new_path,"
                                  " old_bytes, new_bytes, state) VALUES(?, ?, ?, ?, ?, ?,"
                                  " 'recorded')");
    insert.bind(1, tidy_)
        .bind(2, QString::fromLatin1(kindName(action.kind)))
        .bind(3, action.path)
        .bind(4, action.newPath.isNull() ? std::nullopt : std::optional(action.newPath))
        .bindBytes(5, action.oldBytes)
        .bindBytes(6, action.newBytes);
    if (!insert.run())
        return failure();
    return qint64(sqlite3_last_insert_rowid(db_.handle()));
}

Result<void> TidyJournal::mark(qint64 id, const char* state) {
    sqlite::Statement update(db_, "UPDATE tidy_actions SET state = ? WHERE id = ?");
    if (!update.bind(1, QString::fromLatin1(state)).bind(2, id).run())
        return failure();
    return {};
}

Result<std::vector<TidyJournal::Action>> TidyJournal::lastTidyActions() {
    sqlite::Statement query(db_, "SELECT id, kind, path, new_path, old_bytes, new_bytes"
                                 " FROM tidy_actions WHERE tidy_id = (SELECT max(id) FROM tidies)"
                                 " AND state IN ('recorded', 'done') ORDER BY id DESC");
    std::vector<Action> actions;
    while (query.step())
        actions.push_back({query.number(0), kindNamed(query.text(1)), query.text(2), query.text(3),
                           query.bytes(4), query.bytes(5)});
    if (!query.done())
        return failure();
    return actions;
}

} // namespace vorlan
