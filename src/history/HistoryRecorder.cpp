#include "history/HistoryRecorder.h"

#include <QFileInfo>
#include <QThread>
#include <sqlite3.h>

namespace vorlan {

namespace {

QDateTime now() {
    return QDateTime::currentDateTimeUtc();
}

const QString kLockedTooLong = QStringLiteral(
    "The check history is in use by another program: the rows of this check were not recorded.");

} // namespace

HistoryRecorder::HistoryRecorder(const QString& path, QObject* parent) : QObject(parent) {
    Result<CheckHistory> opened = CheckHistory::open(path);
    if (!opened.ok()) {
        problem_ = QStringLiteral("The check history could not be opened: %1. This check is not "
                                  "recorded.")
                       .arg(opened.failure().message);
        return;
    }
    history_.emplace(std::move(opened.value()));
    history_->beginRun(now());
    batch_.setInterval(std::chrono::seconds(1));
    connect(&batch_, &QTimer::timeout, this, [this] {
        if (write()) {
            if (stopped_) {
                batch_.stop();
                emit done();
            }
        } else if (history_ && stopped_ && patience_.hasExpired()) {
            giveUp(kLockedTooLong);
        }
    });
}

AddressHistory HistoryRecorder::record(const CheckedLink& link) {
    if (!history_)
        return {};
    const QDateTime checkedAt = now();
    const Result<AddressHistory> known = history_->historyOf(link.address, link.good, checkedAt);
    HistoryEntry entry{link, checkedAt, known.ok() ? known.value() : AddressHistory{}};
    const QFileInfo shortcut(link.shortcutPath);
    if (shortcut.isFile()) {
        entry.link.shortcutSize = shortcut.size();
        entry.link.shortcutModified = shortcut.lastModified().toMSecsSinceEpoch();
    }
    pending_.push_back(std::move(entry));
    if (!batch_.isActive())
        batch_.start();
    return pending_.back().history;
}

bool HistoryRecorder::write() {
    if (!history_)
        return true;
    if (!pending_.empty()) {
        const Result<void> written = history_->record(pending_);
        if (!written.ok()) {
            if (written.failure().number != SQLITE_BUSY)
                giveUp(QStringLiteral("The check history could not be written: %1. This check "
                                      "is not recorded.")
                           .arg(written.failure().message));
            return false;
        }
        pending_.clear();
    }
    if (!stopped_)
        return true;
    const Result<void> ended = history_->endRun(*stopped_, now());
    if (!ended.ok() && ended.failure().number != SQLITE_BUSY) {
        history_.reset(); // the rows are written; only the run's end is missing
        return true;
    }
    return ended.ok();
}

void HistoryRecorder::finish(bool stopped) {
    stopped_ = stopped;
    patience_ = QDeadlineTimer(kLockPatience);
    if (write()) {
        batch_.stop();
        emit done();
    } else if (history_) {
        batch_.start();
    }
}

void HistoryRecorder::finishWithin(bool stopped, QDeadlineTimer deadline) {
    stopped_ = stopped;
    while (history_ && !write()) {
        if (!history_ || deadline.hasExpired()) {
            if (history_)
                giveUp(kLockedTooLong);
            return;
        }
        QThread::msleep(50);
    }
    batch_.stop();
}

void HistoryRecorder::giveUp(const QString& message) {
    history_.reset();
    pending_.clear();
    batch_.stop();
    emit notRecorded(message);
    emit done();
}

} // namespace vorlan
