#pragma once

#include "history/CheckHistory.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <optional>
#include <vector>

namespace vorlan {

class HistoryWriter;

// Records the rows of one check run into the check history: each row's history is read at
// once, and the rows are written on a thread of their own in a batch at most once a second
// and the rest when the run ends. While another program holds the history the rows wait,
// for as long as kLockPatience after the run's end; then they are told as not recorded.
class HistoryRecorder : public QObject {
    Q_OBJECT
  public:
    static constexpr std::chrono::seconds kLockPatience{300};

    // Opens the history at path for a run starting now. When it cannot be opened, problem()
    // says so and nothing is recorded.
    explicit HistoryRecorder(const QString& path, QObject* parent = nullptr);
    ~HistoryRecorder() override;

    // The message for a history that could not be opened; empty when it was.
    const QString& problem() const { return problem_; }
    // A committed row: its address's history as of now, counting this check (unknown when
    // the history cannot tell); the row is written with the next batch.
    AddressHistory record(const CheckedLink& link);
    // The run has ended: the rest and the run's end are written. Tells done(), after
    // notRecorded() when rows could not be written.
    void finish(bool stopped);
    // The same, waiting for at most the deadline, for a caller whose event loop has ended.
    void finishWithin(bool stopped, QDeadlineTimer deadline);

  signals:
    void done();
    void notRecorded(const QString& message);

  private:
    void sendBatch();
    void tell(const QString& notRecordedMessage);

    std::optional<CheckHistory> reader_; // this thread's connection, for the rows' history
    QString problem_;
    std::vector<HistoryEntry> pending_;
    QTimer batch_;
    QThread thread_;
    HistoryWriter* writer_ = nullptr; // lives on thread_
    std::atomic<bool> cancelled_ = false;
};

} // namespace vorlan
