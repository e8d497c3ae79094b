#include "history/HistoryRecorder.h"

#include "history/HistoryWriter.h"

#include <QFileInfo>

namespace vorlan {

namespace {

QDateTime now() {
    return QDateTime::currentDateTimeUtc();
}

} // namespace

HistoryRecorder::HistoryRecorder(const QString& path, QObject* parent) : QObject(parent) {
    Result<CheckHistory> reader = CheckHistory::open(path);
    Result<CheckHistory> writer = reader.ok() ? CheckHistory::open(path) : reader.failure();
    if (!writer.ok()) {
        problem_ = QStringLiteral("The check history could not be opened: %1. This check is not "
                                  "recorded.")
                       .arg(writer.failure().message);
        return;
    }
    const QDateTime startedAt = now();
    const qint64 runKey = CheckHistory::newRunKey();
    reader_.emplace(std::move(reader).value());
    reader_->beginRun(startedAt, runKey);
    writer.value().beginRun(startedAt, runKey);
    writer_ = new HistoryWriter(std::move(writer).value());
    writer_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, writer_, &QObject::deleteLater);
    thread_.setObjectName(QStringLiteral("history writer"));
    thread_.start();
    batch_.setInterval(std::chrono::seconds(1));
    connect(&batch_, &QTimer::timeout, this, &HistoryRecorder::sendBatch);
}

HistoryRecorder::~HistoryRecorder() {
    cancelled_ = true;
    thread_.quit();
    thread_.wait();
}

AddressHistory HistoryRecorder::record(const CheckedLink& link) {
    if (!reader_)
        return {};
    const QDateTime checkedAt = now();
    const Result<AddressHistory> known = reader_->historyOf(link.address, link.good, checkedAt);
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

void HistoryRecorder::sendBatch() {
    batch_.stop();
    if (pending_.empty())
        return;
    QMetaObject::invokeMethod(writer_, [writer = writer_, rows = std::move(pending_)]() mutable {
        writer->write(std::move(rows));
    });
    pending_.clear();
}

void HistoryRecorder::finish(bool stopped) {
    if (!writer_) {
        tell({});
        return;
    }
    sendBatch();
    QMetaObject::invokeMethod(writer_, [this, writer = writer_, stopped] {
        const QString message = writer->finish(stopped, QDeadlineTimer(kLockPatience), cancelled_);
        // Told on this object's thread; nothing is told once it is gone.
        QMetaObject::invokeMethod(this, [this, message] { tell(message); });
    });
}

void HistoryRecorder::finishWithin(bool stopped, QDeadlineTimer deadline) {
    if (!writer_)
        return;
    sendBatch();
    QString message;
    QMetaObject::invokeMethod(
        writer_, [&] { message = writer_->finish(stopped, deadline, cancelled_); },
        Qt::BlockingQueuedConnection);
    tell(message);
}

void HistoryRecorder::tell(const QString& notRecordedMessage) {
    if (!notRecordedMessage.isEmpty())
        emit notRecorded(notRecordedMessage);
    emit done();
}

} // namespace vorlan
