#include "linkcheck/engine/CheckRun.h"

#include "linkcheck/engine/CheckSink.h"
#include "linkcheck/engine/PageWriter.h"
#include "linkcheck/engine/StatusText.h"

#include <QScopedValueRollback>
#include <QTimer>
#include <algorithm>

namespace vorlan {

namespace {

// Items read ahead of the first uncommitted row: room to find work for every host while a
// slow request holds the rows after it back, and to find a host's next requests while its
// connection is open. Fewer when the run keeps pages: each row done early holds its page.
constexpr qsizetype kReadAhead = 49152;
constexpr qsizetype kReadAheadKeepingPages = 32768;
// Requests start once so many items are read (or all of them): which host goes first depends
// on how many requests wait for each.
constexpr qsizetype kReadBeforeStart = 4096;
// The longest the run keeps other events waiting, per step of its work (committing rows,
// reading addresses, starting requests): with libcurl's own turn the window waits 20 ms or so.
constexpr std::chrono::milliseconds kSlice(4);
// Progress is told at most this often, and this often while it changes.
constexpr std::chrono::milliseconds kProgressInterval(100);

} // namespace

CheckRun::CheckRun(CheckSink& sink, HttpClient& inet, AddressReader readAddress,
                   QStringList shortcutPaths, RunLimits limits)
    : sink_(sink), inet_(inet), readAddress_(std::move(readAddress)),
      shortcutPaths_(std::move(shortcutPaths)), limits_(limits), keepsPages_(sink.keepsPages()),
      readAhead_(keepsPages_ ? kReadAheadKeepingPages : kReadAhead),
      scheduler_(limits.requestsInFlight, limits.requestsPerHost) {
    inet_.setTooManyRequestsHandler(
        [this](const QUrl& url) { scheduler_.slowDown(connectionKey(url)); });
    connect(&progressTimer_, &QTimer::timeout, this, &CheckRun::reportProgress);
}

CheckRun::~CheckRun() {
    // An ended run has let go of the component, which may be gone by the time a deferred
    // deletion comes.
    if (!ended_)
        releaseTransfers();
}

void CheckRun::releaseTransfers() {
    inet_.abortAll();
    inet_.setTooManyRequestsHandler(nullptr);
}

void CheckRun::start() {
    reportProgress();
    progressTimer_.start(kProgressInterval);
    schedulePump();
}

void CheckRun::cancel() {
    if (ended_)
        return;
    ended_ = true;
    progressTimer_.stop();
    releaseTransfers();
    pageWriter_.reset();
    if (!pumping_)
        deleteLater();
}

void CheckRun::stop() {
    if (ended_)
        return;
    cancel();
    sink_.runEnded(true);
}

void CheckRun::schedulePump() {
    if (pumpScheduled_ || ended_)
        return;
    pumpScheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        pumpScheduled_ = false;
        pump();
    });
}

void CheckRun::pump() {
    // A message box shown by the sink lets events run inside this call; the work they
    // bring waits until it returns.
    if (pumping_) {
        pumpAgain_ = true;
        return;
    }
    bool moreToDo = false;
    {
        const QScopedValueRollback<bool> pumping(pumping_, true);
        moreToDo = !commitRows(QDeadlineTimer(kSlice));
        if (!ended_ && committed_ == shortcutPaths_.size()) {
            reportProgress();
            ended_ = true;
            progressTimer_.stop();
            releaseTransfers();
            sink_.runEnded(false);
            deleteLater();
            return;
        }
        if (!ended_) {
            admitItems(QDeadlineTimer(kSlice));
            const qsizetype admitted = committed_ + qsizetype(window_.size());
            const bool requestsMayStart =
                admitted >= std::min(kReadBeforeStart, shortcutPaths_.size());
            const bool allLaunched = !requestsMayStart || launchRequests(QDeadlineTimer(kSlice));
            // Items that failed before any request (no address, a refused one) are done
            // at once; so are the reads of a slice that ran out.
            moreToDo = moreToDo || !allLaunched || (!window_.empty() && window_.front().done) ||
                       (admitted < shortcutPaths_.size() && qsizetype(window_.size()) < readAhead_);
        }
    }
    if (ended_) {
        deleteLater();
        return;
    }
    if (moreToDo || std::exchange(pumpAgain_, false))
        schedulePump();
}

CheckRow CheckRun::rowOf(const Item& item) const {
    CheckRow row;
    row.index = committed_;
    row.shortcutPath = item.shortcutPath;
    row.address = item.address;
    // The status comes from the transfer alone; saving may hand the page over.
    row.status = statusText(!item.bodyArrived, item.response.statusCode, item.response.errorNumber);
    row.statusCode = item.response.statusCode;
    row.finalAddress = item.response.finalUrl.toString(QUrl::FullyEncoded);
    // Where no redirect led elsewhere, the row holds the address once.
    if (row.finalAddress == row.address)
        row.finalAddress = row.address;
    row.header = item.response.header;
    row.hops = item.response.hops;
    return row;
}

bool CheckRun::commitRows(const QDeadlineTimer& slice) {
    while (!ended_) {
        if (pageWriter_) {
            if (!pageWriter_->writeUntil(slice))
                return false;
            const Result<void> saved = pageWriter_->saved();
            pageWriter_.reset();
            sink_.rowEnded(rowBeingSaved_, saved);
            endRow();
        } else {
            if (window_.empty() || !window_.front().done)
                return true;
            Item& item = window_.front();
            pageBytesHeld_ -= item.page.size();
            rowBeingSaved_ = rowOf(item);
            auto writer = sink_.rowCommitted(rowBeingSaved_, item.page);
            if (ended_)
                return true;
            if (writer) {
                pageWriter_ = std::move(writer);
            } else {
                sink_.rowEnded(rowBeingSaved_, {});
                endRow();
            }
        }
        if (slice.hasExpired())
            return false;
    }
    return true;
}

void CheckRun::endRow() {
    window_.pop_front();
    ++committed_;
}

void CheckRun::admitItems(const QDeadlineTimer& slice) {
    while (qsizetype(window_.size()) < readAhead_) {
        const qsizetype index = committed_ + qsizetype(window_.size());
        if (index == shortcutPaths_.size())
            return;
        Item& item = window_.emplace_back();
        item.shortcutPath = shortcutPaths_[index];
        item.address = readAddress_(item.shortcutPath);
        const TransferTarget target = inet_.target(item.address);
        if (target.errorNumber != 0) {
            item.response.errorNumber = target.errorNumber;
            item.done = true;
        } else {
            item.url = target.url;
            item.connection = connectionKey(target.url);
            scheduler_.enqueue(index, item.connection);
        }
        if (slice.hasExpired())
            return;
    }
}

bool CheckRun::launchRequests(const QDeadlineTimer& slice) {
    if (!window_.empty() && window_.front().deferred) {
        window_.front().deferred = false;
        scheduler_.enqueue(committed_, window_.front().connection);
    }
    // Beyond the page budget only the first uncommitted row's request may start: it is the
    // one the committed rows wait for.
    const auto latestToStart = [this] {
        return pageBytesHeld_ < limits_.pageBytesHeld ? std::numeric_limits<qsizetype>::max()
                                                      : committed_;
    };
    while (!slice.hasExpired()) {
        const std::optional<qsizetype> index = scheduler_.takeNext(latestToStart());
        if (!index)
            return true;
        Item& item = itemAt(*index);
        item.transfer = inet_.start(
            item.url,
            [this, &item, index = *index](QByteArrayView bytes) {
                pageArrived(item, index, bytes);
            },
            [this, &item](const TransferResponse& response) { itemFetched(item, response); });
    }
    return false;
}

void CheckRun::pageArrived(Item& item, qsizetype index, QByteArrayView bytes) {
    item.bodyArrived = item.bodyArrived || !bytes.isEmpty();
    if (!keepsPages_)
        return;
    item.page.append(bytes);
    pageBytesHeld_ += bytes.size();
    if (pageBytesHeld_ <= limits_.pageBytesHeld || index == committed_)
        return;
    // Over the budget: this request starts again when its row comes first.
    inet_.abort(item.transfer);
    dropPage(item);
    scheduler_.release(item.connection);
    item.deferred = true;
    schedulePump(); // the freed slot may go to another request
}

void CheckRun::itemFetched(Item& item, const TransferResponse& response) {
    item.response = response;
    item.page.seal();
    // A failed transfer has no page, whatever part of it arrived.
    if (response.errorNumber != 0 || response.bodyLost)
        dropPage(item);
    item.done = true;
    scheduler_.release(item.connection);
    schedulePump();
}

void CheckRun::dropPage(Item& item) {
    pageBytesHeld_ -= item.page.size();
    item.page.clear();
    item.bodyArrived = false;
}

void CheckRun::reportProgress() {
    CheckProgress progress;
    progress.done = committed_;
    progress.total = shortcutPaths_.size();
    progress.inFlight = scheduler_.inFlight();
    if (!window_.empty())
        progress.waitingFor = window_.front().address;
    if (progress == lastProgress_)
        return;
    lastProgress_ = progress;
    sink_.progressed(progress);
}

} // namespace vorlan
