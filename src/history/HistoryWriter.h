#pragma once

#include "history/CheckHistory.h"

#include <QDeadlineTimer>
#include <QObject>
#include <atomic>
#include <vector>

namespace vorlan {

// Writes a run's rows into the check history on a thread of its own, so that a slow disk or
// another program's lock never holds up the thread that checks. Rows wait here while the
// history is locked and go in with the next batch.
class HistoryWriter : public QObject {
  public:
    explicit HistoryWriter(CheckHistory history) : history_(std::move(history)) {}

    // Adds a batch and writes what waits, unless another program holds the history.
    void write(std::vector<HistoryEntry> entries);
    // Writes what waits and the run's end, trying again while the history is locked until the
    // deadline has passed or cancelled is set. Gives the message telling why rows were not
    // recorded; empty when all are.
    QString finish(bool stopped, QDeadlineTimer deadline, const std::atomic<bool>& cancelled);

  private:
    // False while another program holds the history; a lasting failure is kept in failure_.
    bool tryWrite(const std::optional<bool>& stopped);

    CheckHistory history_;
    std::vector<HistoryEntry> waiting_;
    QString failure_;
};

} // namespace vorlan
