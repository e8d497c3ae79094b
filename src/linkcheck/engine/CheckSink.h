#pragma once

#include "linkcheck/engine/CheckRow.h"
#include "linkcheck/engine/PageWriter.h"

#include <memory>

namespace vorlan {

class PageBody;

// How far a run has come.
struct CheckProgress {
    qsizetype done = 0;  // rows committed
    qsizetype total = 0; // rows of the run
    int inFlight = 0;    // requests on their way
    // The address of the first uncommitted row, which the later rows wait for.
    QString waitingFor;

    bool operator==(const CheckProgress&) const = default;
};

// What a check run reports to: the window or the headless check. The run calls it from its
// own slices of work on the event loop, never from inside another call of the sink.
class CheckSink {
  public:
    virtual ~CheckSink() = default;

    // Whether the run keeps the pages it fetches, for rowCommitted; when not, every page it
    // hands over is empty, and none costs memory while its row waits.
    virtual bool keepsPages() const { return true; }
    // Row row.index is committed; its page may be saved. A writer returned is driven by the
    // run, a slice at a time, before the row ends. The page may be taken over.
    virtual std::unique_ptr<PageWriter> rowCommitted(const CheckRow& row, PageBody& page) = 0;
    // The row is complete: its page saved, or the failure that kept it from being saved.
    virtual void rowEnded(const CheckRow& row, const Result<void>& saved) = 0;
    // At the start, then at most ten times a second while the run goes on and once at its
    // end, whenever the figures have changed.
    virtual void progressed(const CheckProgress&) {}
    // Every row is committed, or the run was stopped; the run deletes itself afterwards.
    virtual void runEnded(bool stopped) = 0;
};

} // namespace vorlan
