#pragma once

#include "history/Sqlite.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace vorlan {

// The tidy journal in the history file (the tables tidies and tidy_actions). Every write is
// its own transaction, synced to disk before the action it records is done.
class TidyJournal {
  public:
    enum class Kind { Rewrite, Move, Folder };
    struct Action {
        qint64 id = 0;
        Kind kind = Kind::Rewrite;
        QString path;
        QString newPath;
        QByteArray oldBytes;
        QByteArray newBytes;
    };

    // Opens the history file's journal; waits a while for a check that is writing to it.
    static Result<TidyJournal> open(const QString& historyPath);

    // Records an action of a new tidy, begun with the first action recorded, in the state
    // 'recorded'; gives its id.
    Result<qint64> record(const Action& action);
    // Marks an action 'done', 'failed' or 'undone'.
    Result<void> mark(qint64 id, const char* state);
    // The actions of the last tidy that are recorded or done, newest first.
    Result<std::vector<Action>> lastTidyActions();

  private:
    explicit TidyJournal(sqlite::Database db) : db_(std::move(db)) {}
    Failure failure() const { return {db_.errorCode(), db_.errorText()}; }

    sqlite::Database db_;
    qint64 tidy_ = 0;
};

} // namespace vorlan
