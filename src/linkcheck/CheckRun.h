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

// How many requests a run keeps in flight, in all and to one host.
struct RunLimits {
    int requestsInFlight = 128;
    int requestsPerHost = 6;
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

  signals:
    // Every row is committed and the caption announces the end.
    void finished();

  private:
    struct Item {
        QString shortcutPath;
        QString address;
        QUrl url;
        QString connection;
        PageBody page;
        TransferResponse response;
        bool done = false;
        QString status;
    };

    void schedulePump();
    void pump();
    // Commits the rows whose items are done, in order; false when the slice ran out first.
    bool commitRows(const QDeadlineTimer& slice);
    void finishRow();
    void admitItems(const QDeadlineTimer& slice);
    void readAddress(Item& item);
    void launchRequests();
    void itemFetched(Item& item, const TransferResponse& response);
    Item& itemAt(qsizetype index) { return window_[index - committed_]; }

    Form1& form_;
    InternetTransfer& inet_;
    const QStringList shortcutPaths_;
    FetchScheduler scheduler_;
    // The items from the first uncommitted one to the last one read.
    std::deque<Item> window_;
    qsizetype committed_ = 0;
    std::unique_ptr<PageWriter> pageWriter_;
    bool pumpScheduled_ = false;
    bool pumping_ = false;
    bool pumpAgain_ = false;
    bool cancelled_ = false;
};

} // namespace vorlan
