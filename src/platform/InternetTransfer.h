#pragma once

#include "platform/HttpClient.h"
#include "platform/RunningTransfers.h"
#include "platform/SystemProxy.h"
#include "platform/WebAddress.h"

#include <QObject>

namespace vorlan {

class CurlTransfer;

// The Internet transfer component: HTTP and HTTPS GET requests on libcurl, driven by this
// thread's event loop (CurlDriver, which RunningTransfers keeps them on). Each request runs
// under a deadline that counts from sending to the last byte; its header and body are bounded
// (CurlTransfer), its redirects followed (RedirectFollower) and a busy server asked once more
// (BusyServerRetry).
class InternetTransfer : public QObject, public HttpClient {
    Q_OBJECT
  public:
    explicit InternetTransfer(QObject* parent = nullptr);
    ~InternetTransfer() override;

    // Starts a run's settings afresh; the system's proxy is asked again per host, and host
    // names are looked up again.
    void applySettings(const TransferSettings& settings) {
        settings_ = settings;
        proxy_.forget();
        transfers_.forgetLookups();
    }
    int activeTransfers() const { return transfers_.size(); }

    TransferTarget target(const QString& address) const override {
        return webTarget(address, settings_.schemeWhenMissing);
    }
    TransferId start(const QUrl& url, DataHandler onData, DoneHandler onDone) override;
    void abort(TransferId id) override;
    void abortAll() override;
    void setTooManyRequestsHandler(TooManyRequestsHandler handler) override {
        onTooManyRequests_ = std::move(handler);
    }

  private:
    // Sends the transfer's request to its present address, within what is left of its time.
    void send(CurlTransfer& transfer);
    void transfersEnded(const std::vector<TransferId>& ended);
    // Follows a redirect, waits to ask a busy server again, or tells how the transfer ended.
    void finish(CurlTransfer& transfer);

    TransferSettings settings_;
    TooManyRequestsHandler onTooManyRequests_;
    SystemProxy proxy_;
    RunningTransfers transfers_;
};

} // namespace vorlan
