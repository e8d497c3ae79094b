#pragma once

#include "platform/BusyServerRetry.h"
#include "platform/HttpClient.h"
#include "platform/ReceivedResponse.h"
#include "platform/RedirectFollower.h"

#include <QElapsedTimer>
#include <curl/curl.h>
#include <memory>

namespace vorlan {

// One GET request on its libcurl handle, with what has arrived of its final response: the
// header text as the server sent it, bounded by kLargestHeader, and the body, handed on as
// it arrives and cut at kLargestBody. Its redirects and its busy-server retry are noted here
// and acted on by its owner, which sends the request again.
class CurlTransfer {
  public:
    CurlTransfer(HttpClient::TransferId id, const QUrl& url, qint64 timeoutMs,
                 HttpClient::DataHandler onData, HttpClient::DoneHandler onDone);
    ~CurlTransfer();
    CurlTransfer(const CurlTransfer&) = delete;
    CurlTransfer& operator=(const CurlTransfer&) = delete;

    // Readies the request to url within what is left of its time, through the proxy (empty
    // for none); what arrived of an earlier response is forgotten.
    void aim(const QByteArray& proxy);
    // How the transfer ended, given libcurl's result.
    TransferResponse outcome(int curlResult) const;
    // Stops the transfer from within libcurl's callbacks too; no handler runs any more.
    void cancel();
    bool cancelled() const { return cancelled_; }

    const HttpClient::TransferId id;
    CURL* const easy;
    QUrl url;
    HttpClient::DoneHandler onDone;
    RedirectFollower redirects;
    BusyServerRetry retry;
    // The name lookup cache the transfer uses, kept until its libcurl handle is gone.
    std::shared_ptr<void> lookups;
    // Set once libcurl has ended the transfer, to finish it outside libcurl.
    bool ended = false;
    int curlResult = CURLE_OK;

  private:
    static size_t headerArrived(char* bytes, size_t size, size_t count, void* transfer);
    static size_t bodyArrived(char* bytes, size_t size, size_t count, void* transfer);
    size_t takeHeaderLine(QByteArrayView line);
    size_t takeBody(QByteArrayView bytes);

    HttpClient::DataHandler onData_;
    curl_slist* headers_;
    QElapsedTimer sinceSent_;
    const qint64 timeoutMs_;
    bool cancelled_ = false;
    ReceivedResponse received_;
};

} // namespace vorlan
