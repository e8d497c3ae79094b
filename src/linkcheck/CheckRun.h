#pragma once

#include "FetchScheduler.h"
#include "InternetTransfer.h"
#include "PageBody.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QStringList>
#include <deque>
#include <memory>

namespace vorlan {

class Form1;
class PageWriter;

// How many requests a run keeps in flight, in all and to one host, and how many page bytes
// its uncommitted rows may hold together, in memory and in temporary files. Beyond that
// budget no request but the first uncommitted row's starts, and a request whose page
// arrives then is stopped, to start again when its row comes first. The pages of a run
// therefore hold little more than the budget plus one page (kLargestBody), and no request
// is sent more than twice.
struct RunLimits {
    int requestsInFlight = 128;
    int requestsPerHost = 6;
    qint64 pageBytesHeld = 128 << 20;
};

// One link check run over the lines of the result file. It reads each line's address in
// file order, fetches many at once within its limits, and commits the rows strictly in
// file order, each exactly as a run of one item at a time would: store and show the header
// text, save the page while Check3 is checked at that moment, classify, append the row.
// The window never waits for it: it works in short slices between events.
class CheckRun : public QObject {
    Q_OBJECT
  public:
    // The run belongs to the form and works with its transfer component.
    CheckRun(Form1& form, InternetTransfer& inet, QStringList shortcutPaths, RunLimits limits);
    ~CheckRun() override;

    void start();
    // Ends the run where it stands: its requests are aborted, a page being saved is
    // dropped, and the run deletes itself once no call of its own is running.
    void cancel();
    // After the run: how many pages could not be saved, with the reason for the first;
    // empty when every page was.
    QString unsavedPagesReport() const;

  signals:
    // Every row is committed and the caption announces the end.
    void finished();

  private:
    struct Item {
        QString shortcutPath;
        QString address;
        QUrl url;
        QString connection;
        InternetTransfer::TransferId transfer = 0;
        bool deferred = false; // stopped over the page budget, waits to come first
        PageBody page;
        TransferResponse response;
        bool done = false;
        QString status;
    };

    // Ends the run's use of the transfer component: its requests and its 429 handler.
    void releaseTransfers();
    void schedulePump();
    void pump();
    // Commits the rows whose items are done, in order; false when the slice ran out first.
    bool commitRows(const QDeadlineTimer& slice);
    void finishRow();
    void admitItems(const QDeadlineTimer& slice);
    void readAddress(Item& item);
    void launchRequests();
    void pageArrived(Item& item, qsizetype index, QByteArrayView bytes);
    void itemFetched(Item& item, const TransferResponse& response);
    void dropPage(Item& item);
    // Counts a page that could not be saved.
    void notePageNotSaved(const QString& error);
    Item& itemAt(qsizetype index) { return window_[index - committed_]; }

    Form1& form_;
    InternetTransfer& inet_;
    const QStringList shortcutPaths_;
    const RunLimits limits_;
    FetchScheduler scheduler_;
    // The items from the first uncommitted one to the last one read.
    std::deque<Item> window_;
    qsizetype committed_ = 0;
    // Page bytes held by the uncommitted items.
    qint64 pageBytesHeld_ = 0;
    std::unique_ptr<PageWriter> pageWriter_;
    int pagesNotSaved_ = 0;
    QString firstSaveError_;
    bool pumpScheduled_ = false;
    bool pumping_ = false;
    bool pumpAgain_ = false;
    bool cancelled_ = false;
};

} // namespace vorlan
