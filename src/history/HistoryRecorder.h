#pragma once

#include "history/CheckHistory.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QTimer>
#include <optional>
#include <vector>

namespace vorlan {

// Records the rows of one check run into the check history: a batch at most once a second
// and the rest when the run ends, in transactions that never wait for another program's
// lock. A locked history is tried again a second later, for as long as kLockPatience after the
// run's end; then the rows left are told as not recorded.
class HistoryRecorder : public QObject {
    Q_OBJECT
  public:
    static constexpr std::chrono::seconds kLockPatience{300};

    // Opens the history at path for a run starting now. When it cannot be opened, problem()
    // says so and nothing is recorded.
    explicit HistoryRecorder(const QString& path, QObject* parent = nullptr);

    // The message for a history that could not be opened; empty when it was.
    const QString& problem() const { return problem_; }
    // A committed row: its address's history as of now, counting this check (unknown when
    // the history cannot tell); the row is written with the next batch.
    AddressHistory record(const CheckedLink& link);
    // The run has ended: writes the rest and the run's end, trying again each second while
    // another program holds the history. Tells done() or notRecorded() afterwards.
    void finish(bool stopped);
    // For a caller without an event loop: tries until written or the deadline has passed,
    // waiting between tries.
    void finishWithin(bool stopped, QDeadlineTimer deadline);

  signals:
    // Everything is written, or nothing more can be.
    void done();
    // Once, when rows could not be written: the message telling so.
    void notRecorded(const QString& message);

  private:
    // Writes the rows waiting; false when another program holds the history.
    bool write();
    void giveUp(const QString& message);

    std::optional<CheckHistory> history_;
    QString problem_;
    std::vector<HistoryEntry> pending_;
    std::optional<bool> stopped_; // set once the run has ended
    QDeadlineTimer patience_;
    QTimer batch_;
};

} // namespace vorlan
