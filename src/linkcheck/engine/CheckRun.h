#pragma once

#include "linkcheck/engine/CheckRow.h"
#include "linkcheck/engine/CheckSink.h"
#include "linkcheck/engine/FetchScheduler.h"
#include "linkcheck/engine/PageBody.h"
#include "platform/HttpClient.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>

namespace vorlan {

class PageWriter;

// How many requests a run keeps in flight, in all and to one host, and how many page bytes
// its uncommitted rows may hold together, in memory and in temporary files. Beyond that
// budget no request but the first uncommitted row's starts, and a request whose page
// arrives then is stopped, to start again when its row comes first. The pages of a run
// therefore hold little more than the budget plus one page (kLargestBody), and no request
// is sent more than twice.
struct RunLimits {
    int requestsInFlight = 256;
    int requestsPerHost = 6;
    qint64 pageBytesHeld = 128 << 20;
};

// Reads the address a shortcut file holds; empty when it gives none.
using AddressReader = std::function<QString(const QString& shortcutPath)>;

// One link check run over a list of shortcut files. It reads each one's address in order,
// fetches many at once within its limits, and commits the rows strictly in order, each
// exactly as a run of one item at a time would, to its sink. It never waits: it works in
// short slices between the event loop's other events.
class CheckRun : public QObject {
    Q_OBJECT
  public:
    CheckRun(CheckSink& sink, HttpClient& inet, AddressReader readAddress,
             QStringList shortcutPaths, RunLimits limits);
    ~CheckRun() override;

    void start();
    // Ends the run where it stands, keeping the committed rows, and tells the sink.
    void stop();
    // Ends the run without telling the sink (it is going away).
    void cancel();

  private:
    struct Item {
        QString shortcutPath;
        QString address;
        QUrl url;
        QString connection;
        HttpClient::TransferId transfer = 0;
        bool deferred = false; // stopped over the page budget, waits to come first
        PageBody page;
        bool bodyArrived = false;
        TransferResponse response;
        bool done = false;
    };

    // Ends the run's use of the HTTP client: its requests and its 429 handler.
    void releaseTransfers();
    void schedulePump();
    void pump();
    // Commits the rows whose items are done, in order; false when the slice ran out first.
    bool commitRows(const QDeadlineTimer& slice);
    CheckRow rowOf(const Item& item) const;
    void endRow();
    void admitItems(const QDeadlineTimer& slice);
    // Starts what the scheduler allows within the slice; false when more could start.
    bool launchRequests(const QDeadlineTimer& slice);
    void pageArrived(Item& item, qsizetype index, QByteArrayView bytes);
    void itemFetched(Item& item, const TransferResponse& response);
    void dropPage(Item& item);
    // Tells the sink how far the run has come, when that has changed.
    void reportProgress();
    Item& itemAt(qsizetype index) { return window_[index - committed_]; }

    CheckSink& sink_;
    HttpClient& inet_;
    const AddressReader readAddress_;
    const QStringList shortcutPaths_;
    const RunLimits limits_;
    const bool keepsPages_;
    const qsizetype readAhead_;
    FetchScheduler scheduler_;
    // The items from the first uncommitted one to the last one read.
    std::deque<Item> window_;
    qsizetype committed_ = 0;
    // Page bytes held by the uncommitted items.
    qint64 pageBytesHeld_ = 0;
    // The first uncommitted row while its page is being saved.
    std::unique_ptr<PageWriter> pageWriter_;
    CheckRow rowBeingSaved_;
    QTimer progressTimer_;
    CheckProgress lastProgress_;
    bool pumpScheduled_ = false;
    bool pumping_ = false;
    bool pumpAgain_ = false;
    bool ended_ = false;
};

} // namespace vorlan
