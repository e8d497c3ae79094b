#pragma once

#include "history/HistoryQueries.h"
#include "history/Sqlite.h"

#include <QDateTime>
#include <QString>
#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace vorlan {

// What a check of one shortcut's address gave, as the history keeps it.
struct CheckedLink {
    QString shortcutPath{};
    QString address{};
    QString status{}; // as the results list shows it
    int code = 0;
    QString finalAddress{};
    QString hops{}; // the redirect hops, one "code address" per line
    bool good = false;
    // The shortcut file as it was checked, so that a later change to it can be told.
    std::optional<qint64> shortcutSize{};
    std::optional<qint64> shortcutModified{}; // milliseconds since 1970, UTC
};

// What the history tells of an address as of one check, that check counted.
struct AddressHistory {
    QString previousStatus;                // at the check before; empty when there was none
    std::optional<QDateTime> failingSince; // the first of the failed checks in a row up to it
    std::optional<QDateTime> lastGood;
    int failuresInARow = 0;

    bool operator==(const AddressHistory&) const = default;
};

// The last recorded check of a shortcut.
struct ShortcutResult {
    QString address;
    QString finalAddress;
    QString status;
    int code = 0;
    bool good = false;
    QString hops; // one "code address" per line
    QDateTime checkedAt;
    std::optional<QDateTime> failingSince;
    int failuresInARow = 0;
    std::optional<qint64> shortcutSize;
    std::optional<qint64> shortcutModified;
};

// One check, its time and what the history told of it, ready to be written.
struct HistoryEntry {
    CheckedLink link;
    QDateTime checkedAt;
    AddressHistory history;
};

// The check history: an SQLite file of check runs and their rows. It keeps the last
// kResultsPerAddress results of each address and drops addresses that were not checked for
// kDaysKept days. Every statement fails at once on another program's lock (SQLITE_BUSY),
// so that a caller can try again later instead of waiting.
class CheckHistory {
  public:
    static constexpr int kResultsPerAddress = 20;
    static constexpr int kDaysKept = 365;

    // Opens the file as openHistoryFile does.
    static Result<CheckHistory> open(const QString& path);

    // A run's rows are told apart from those of earlier runs by its key; connections that
    // record one run share it.
    static qint64 newRunKey();
    void beginRun(const QDateTime& startedAt, qint64 runKey = newRunKey());
    // The history of an address as of a check at checkedAt that was (or was not) good,
    // from the results of earlier runs.
    Result<AddressHistory> historyOf(const QString& address, bool good, const QDateTime& checkedAt);
    // The last recorded check of a shortcut; none when it was never checked.
    Result<std::optional<ShortcutResult>> lastResultOf(const QString& shortcutPath);
    // Writes entries of the run in one transaction, the run's own row first.
    Result<void> record(const std::vector<HistoryEntry>& entries);
    // Records the run's end, and drops what is older than the bounds.
    Result<void> endRun(bool stopped, const QDateTime& endedAt);

  private:
    explicit CheckHistory(sqlite::Database db) : db_(std::move(db)) {}
    Result<void> failure() const;
    void rollBack();
    Result<void> writeEntries(const std::vector<HistoryEntry>& entries);
    // Prepared once, on first use.
    sqlite::Statement& statement(HistoryQuery query);
    // Runs an upsert that gives a row's id: of a link (with its check time) or a shortcut.
    std::optional<qint64> idOf(HistoryQuery upsert, const QString& key,
                               std::optional<qint64> time = std::nullopt);
    // Whether the statement just run deleted rows.
    bool droppedOld() const;

    sqlite::Database db_;
    std::array<std::unique_ptr<sqlite::Statement>, size_t(HistoryQuery::Count)> statements_;
    qint64 runKey_ = 0;
    QDateTime runStartedAt_;
};

} // namespace vorlan
