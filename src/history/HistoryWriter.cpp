#include "history/HistoryWriter.h"

#include <QThread>
#include <sqlite3.h>

namespace vorlan {

void HistoryWriter::write(std::vector<HistoryEntry> entries) {
    waiting_.insert(waiting_.end(), std::make_move_iterator(entries.begin()),
                    std::make_move_iterator(entries.end()));
    tryWrite(std::nullopt);
}

bool HistoryWriter::tryWrite(const std::optional<bool>& stopped) {
    if (!failure_.isEmpty())
        return true;
    Result<void> written = waiting_.empty() ? Result<void>() : history_.record(waiting_);
    if (written.ok()) {
        waiting_.clear();
        if (stopped)
            written = history_.endRun(*stopped, QDateTime::currentDateTimeUtc());
    }
    if (written.ok() || written.failure().number == SQLITE_BUSY)
        return written.ok();
    // The rows are lost only when they could not be written; a run's end that could not be
    // is not worth a message.
    if (!waiting_.empty())
        failure_ = QStringLiteral("The check history could not be written: %1. This check is not "
                                  "recorded.")
                       .arg(written.failure().message);
    waiting_.clear();
    return true;
}

QString HistoryWriter::finish(bool stopped, QDeadlineTimer deadline,
                              const std::atomic<bool>& cancelled) {
    while (!tryWrite(stopped)) {
        if (deadline.hasExpired() || cancelled) {
            waiting_.clear();
            return QStringLiteral("The check history is in use by another program: the rows of "
                                  "this check were not recorded.");
        }
        QThread::msleep(100);
    }
    return failure_;
}

} // namespace vorlan
