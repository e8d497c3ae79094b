#pragma once

#include "platform/CurlDriver.h"
#include "platform/HttpClient.h"
#include "platform/LookupCache.h"

#include <map>
#include <memory>

namespace vorlan {

class CurlTransfer;

// The transfers under way, by id, on one libcurl driver. Every transfer libcurl has ended is
// taken out of it before anyone is told, and so is a transfer cancelled from within libcurl's
// own callbacks, where it cannot be taken out.
class RunningTransfers {
  public:
    using TransferId = HttpClient::TransferId;
    // Told of the transfers libcurl ended in one run, once they are out of libcurl.
    using EndedHandler = std::function<void(const std::vector<TransferId>&)>;

    // The driver's notifiers and timer run in the context object's thread.
    RunningTransfers(QObject& context, EndedHandler onEnded);
    ~RunningTransfers();

    // A transfer under a new id, not sent yet.
    CurlTransfer& add(const QUrl& url, qint64 timeoutMs, HttpClient::DataHandler onData,
                      HttpClient::DoneHandler onDone);
    // Sends the transfer's request to its present address, within what is left of its time.
    void send(CurlTransfer& transfer, const QByteArray& proxy);
    CurlTransfer* find(TransferId id);
    int size() const { return int(transfers_.size()); }
    void remove(TransferId id);
    void abort(TransferId id);
    void abortAll();
    // Later transfers look host names up afresh.
    void forgetLookups() { lookups_.forget(); }

  private:
    void takeOut(const std::vector<CurlDriver::Ended>& ended);

    const EndedHandler onEnded_;
    CurlDriver driver_;
    LookupCache lookups_;
    std::map<TransferId, std::unique_ptr<CurlTransfer>> transfers_;
    TransferId lastId_ = 0;
};

} // namespace vorlan
