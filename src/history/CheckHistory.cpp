#include "history/CheckHistory.h"

#include "history/HistoryFile.h"

#include <QRandomGenerator>
#include <sqlite3.h>

namespace vorlan {

namespace {

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

} // namespace

Result<CheckHistory> CheckHistory::open(const QString& path) {
    Result<sqlite::Database> db = openHistoryFile(path);
    if (!db.ok())
        return db.failure();
    return CheckHistory(std::move(db).value());
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
    sqlite::Statement& last = statement(HistoryQuery::LastResult);
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

Result<std::optional<ShortcutResult>> CheckHistory::lastResultOf(const QString& shortcutPath) {
    sqlite::Statement& last = statement(HistoryQuery::LastOfShortcut);
    last.bind(1, shortcutPath);
    std::optional<ShortcutResult> result;
    if (last.step()) {
        result = ShortcutResult{last.text(0),
                                last.text(1),
                                last.text(2),
                                int(last.number(3)),
                                last.number(4) != 0,
                                last.text(5),
                                *timeOf(last.number(6)),
                                timeOf(last.optionalNumber(7)),
                                int(last.number(8)),
                                last.optionalNumber(9),
                                last.optionalNumber(10)};
    } else if (!last.done()) {
        const Result<void> failed = failure();
        last.reset();
        return failed.failure();
    }
    last.reset();
    return result;
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
    sqlite::Statement& run = statement(HistoryQuery::AddRun);
    if (!run.bind(1, runKey_).bind(2, millisecondsOf(runStartedAt_)).run())
        return failure();
    for (const HistoryEntry& entry : entries) {
        const CheckedLink& checked = entry.link;
        const std::optional<qint64> linkId =
            idOf(HistoryQuery::AddLink, checked.address, millisecondsOf(entry.checkedAt));
        const std::optional<qint64> shortcutId =
            idOf(HistoryQuery::AddShortcut, checked.shortcutPath);
        if (!linkId || !shortcutId)
            return failure();
        const bool movedOn = checked.finalAddress != checked.address;
        sqlite::Statement& add = statement(HistoryQuery::AddResult);
        add.bind(1, *linkId)
            .bind(2, runKey_)
            .bind(3, millisecondsOf(entry.checkedAt))
            .bind(4, *shortcutId)
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
        if (!add.run() || !statement(HistoryQuery::TrimLink)
                               .bind(1, *linkId)
                               .bind(2, qint64(kResultsPerAddress))
                               .run())
            return failure();
    }
    return {};
}

Result<void> CheckHistory::endRun(bool stopped, const QDateTime& endedAt) {
    if (Result<void> begun = db_.execute("BEGIN IMMEDIATE"); !begun.ok())
        return begun;
    const qint64 oldest = millisecondsOf(endedAt.addDays(-kDaysKept));
    const bool ended = statement(HistoryQuery::AddRun)
                           .bind(1, runKey_)
                           .bind(2, millisecondsOf(runStartedAt_))
                           .run() &&
                       statement(HistoryQuery::EndRun)
                           .bind(1, millisecondsOf(endedAt))
                           .bind(2, qint64(stopped))
                           .bind(3, runKey_)
                           .run() &&
                       statement(HistoryQuery::DropOldResults).bind(1, oldest).run() &&
                       statement(HistoryQuery::DropOldLinks).bind(1, oldest).run() &&
                       (!droppedOld() || statement(HistoryQuery::DropOldShortcuts).run()) &&
                       statement(HistoryQuery::DropOldRuns).bind(1, oldest).run();
    const Result<void> outcome = ended ? db_.execute("COMMIT") : failure();
    if (!outcome.ok())
        rollBack();
    return outcome;
}

std::optional<qint64> CheckHistory::idOf(HistoryQuery upsert, const QString& key,
                                         std::optional<qint64> time) {
    sqlite::Statement& statement = this->statement(upsert);
    statement.bind(1, key);
    if (time)
        statement.bind(2, *time);
    const std::optional<qint64> id =
        statement.step() ? std::optional(statement.number(0)) : std::nullopt;
    statement.reset();
    return id;
}

bool CheckHistory::droppedOld() const {
    return sqlite3_changes(db_.handle()) > 0;
}

sqlite::Statement& CheckHistory::statement(HistoryQuery query) {
    auto& prepared = statements_[size_t(query)];
    if (!prepared)
        prepared = std::make_unique<sqlite::Statement>(db_, kHistoryQueries[size_t(query)]);
    return *prepared;
}

} // namespace vorlan
