#include "CheckRun.h"

#include "Form1.h"
#include "LinkCheck.h"
#include "PageDownload.h"
#include "Platform.h"
#include "ShortcutReader.h"
#include "StatusText.h"

#include <QScopedValueRollback>
#include <QTimer>

namespace vorlan {

namespace {

// Items read ahead of the first uncommitted row: room to find work for every host while a
// slow request holds the rows after it back.
constexpr qsizetype kReadAhead = 4096;
// The longest the run keeps other events waiting, per step of its work.
constexpr std::chrono::milliseconds kSlice(8);

} // namespace

CheckRun::CheckRun(Form1& form, InternetTransfer& inet, QStringList shortcutPaths, RunLimits limits)
    : QObject(&form), form_(form), inet_(inet), shortcutPaths_(std::move(shortcutPaths)),
      limits_(limits), scheduler_(limits.requestsInFlight, limits.requestsPerHost) {
    inet_.setTooManyRequestsHandler(
        [this](const QUrl& url) { scheduler_.slowDown(connectionKey(url)); });
}

CheckRun::~CheckRun() {
    // A finished run has nothing in flight, and its deferred deletion may come after the
    // transfer component is gone (the window deleted right after the run).
    if (!cancelled_ && committed_ < shortcutPaths_.size())
        releaseTransfers();
}

void CheckRun::releaseTransfers() {
    inet_.abortAll();
    inet_.setTooManyRequestsHandler(nullptr);
}

void CheckRun::start() {
    schedulePump();
}

void CheckRun::cancel() {
    cancelled_ = true;
    releaseTransfers();
    pageWriter_.reset();
    if (!pumping_)
        deleteLater();
}

QString CheckRun::unsavedPagesReport() const {
    return vorlan::unsavedPagesReport(pagesNotSaved_, firstSaveError_);
}

void CheckRun::notePageNotSaved(const QString& error) {
    if (pagesNotSaved_++ == 0)
        firstSaveError_ = error;
}

void CheckRun::schedulePump() {
    if (pumpScheduled_ || cancelled_)
        return;
    pumpScheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        pumpScheduled_ = false;
        pump();
    });
}

void CheckRun::pump() {
    // A message box shown while a page is being saved lets events run inside this call;
    // the work they bring waits until it returns.
    if (pumping_) {
        pumpAgain_ = true;
        return;
    }
    bool moreToDo = false;
    {
        const QScopedValueRollback<bool> pumping(pumping_, true);
        moreToDo = !commitRows(QDeadlineTimer(kSlice));
        if (!cancelled_ && committed_ == shortcutPaths_.size()) {
            releaseTransfers();
            form_.setWindowTitle(QStringLiteral("DONE! - ") + form_.platform().executableName());
            emit finished();
            return;
        }
        if (!cancelled_) {
            admitItems(QDeadlineTimer(kSlice));
            launchRequests();
            const qsizetype admitted = committed_ + qsizetype(window_.size());
            // Items that failed before any request (no address, a refused one) are done
            // at once; so are the reads of a slice that ran out.
            moreToDo = moreToDo || (!window_.empty() && window_.front().done) ||
                       (admitted < shortcutPaths_.size() && qsizetype(window_.size()) < kReadAhead);
        }
    }
    if (cancelled_) {
        deleteLater();
        return;
    }
    if (moreToDo || std::exchange(pumpAgain_, false))
        schedulePump();
}

bool CheckRun::commitRows(const QDeadlineTimer& slice) {
    while (!cancelled_) {
        if (pageWriter_) {
            if (!pageWriter_->writeUntil(slice))
                return false;
            if (!pageWriter_->error().isEmpty())
                notePageNotSaved(pageWriter_->error());
            pageWriter_.reset();
            finishRow();
        } else {
            if (window_.empty() || !window_.front().done)
                return true;
            Item& item = window_.front();
            // The status comes from the transfer alone; saving may hand the page over.
            item.status = statusText(item.page.isEmpty(), item.response.statusCode,
                                     item.response.errorNumber);
            pageBytesHeld_ -= item.page.size();
            tmGETHEADER(form_, item.response.header, committed_);
            form_.Text2->setPlainText(item.response.header);
            if (savingPages(form_)) {
                auto writer = SaveAllHTMLs(form_, item.page, item.shortcutPath);
                if (cancelled_)
                    return true;
                pageWriter_ = std::move(writer);
            }
            if (!pageWriter_)
                finishRow();
        }
        if (slice.hasExpired())
            return false;
    }
    return true;
}

void CheckRun::finishRow() {
    const Item& item = window_.front();
    form_.List3->addItem(item.address);
    form_.List4->addItem(item.status);
    window_.pop_front();
    ++committed_;
}

void CheckRun::admitItems(const QDeadlineTimer& slice) {
    while (qsizetype(window_.size()) < kReadAhead) {
        const qsizetype index = committed_ + qsizetype(window_.size());
        if (index == shortcutPaths_.size())
            return;
        Item& item = window_.emplace_back();
        item.shortcutPath = shortcutPaths_[index];
        readAddress(item);
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

void CheckRun::readAddress(Item& item) {
    // The reader stores into the current address only what it finds, so it starts empty
    // for every item and an item never shows the address of the one before it.
    form_.currentAddress.clear();
    try {
        OandGurl(item.shortcutPath, form_.currentAddress);
    } catch (const ReaderError&) {
        form_.currentAddress.clear();
    }
    item.address = form_.currentAddress;
}

void CheckRun::launchRequests() {
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
    while (const std::optional<qsizetype> index = scheduler_.takeNext(latestToStart())) {
        Item& item = itemAt(*index);
        item.transfer = inet_.start(
            item.url,
            [this, &item, index = *index](QByteArrayView bytes) {
                pageArrived(item, index, bytes);
            },
            [this, &item](const TransferResponse& response) { itemFetched(item, response); });
    }
}

void CheckRun::pageArrived(Item& item, qsizetype index, QByteArrayView bytes) {
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
}

} // namespace vorlan
