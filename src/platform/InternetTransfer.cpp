#include "platform/InternetTransfer.h"

#include "platform/CurlTransfer.h"
#include "platform/TransferError.h"

namespace vorlan {

InternetTransfer::InternetTransfer(QObject* parent)
    : QObject(parent), driver_(*this, [this](const std::vector<CurlDriver::Ended>& ended) {
          transfersEnded(ended);
      }) {}

InternetTransfer::~InternetTransfer() {
    abortAll();
}

HttpClient::TransferId InternetTransfer::start(const QUrl& url, DataHandler onData,
                                               DoneHandler onDone) {
    const TransferId id = ++lastId_;
    auto transfer = std::make_unique<CurlTransfer>(id, url, settings_.requestTimeout.count(),
                                                   std::move(onData), std::move(onDone));
    send(*transfers_.emplace(id, std::move(transfer)).first->second);
    return id;
}

void InternetTransfer::send(CurlTransfer& transfer) {
    transfer.aim(proxy_.proxyFor(transfer.url));
    driver_.add(transfer.easy);
}

void InternetTransfer::transfersEnded(const std::vector<CurlDriver::Ended>& ended) {
    // Every transfer that ended is taken out of libcurl first: a handler may end or start
    // others.
    std::vector<TransferId> ids;
    for (const CurlDriver::Ended& end : ended) {
        CurlTransfer* transfer = nullptr;
        curl_easy_getinfo(end.easy, CURLINFO_PRIVATE, &transfer);
        transfer->curlResult = end.result;
        transfer->ended = true;
        ids.push_back(transfer->id);
    }
    for (auto it = transfers_.begin(); it != transfers_.end();) {
        CurlTransfer& transfer = *it->second;
        ++it;
        if (transfer.cancelled())
            remove(transfer.id);
        else if (transfer.ended)
            driver_.remove(transfer.easy);
    }
    for (const TransferId id : ids) {
        const auto it = transfers_.find(id);
        if (it != transfers_.end() && it->second->ended)
            finish(*it->second);
    }
}

void InternetTransfer::finish(CurlTransfer& transfer) {
    transfer.ended = false;
    int curlResult = transfer.curlResult;
    if (transfer.redirects.pending()) {
        if (const std::optional<QUrl> next = transfer.redirects.follow()) {
            transfer.url = *next;
            send(transfer);
            return;
        }
        curlResult = CURLE_TOO_MANY_REDIRECTS;
    }
    const TransferResponse response = transfer.outcome(curlResult);
    if (response.statusCode == 429 && onTooManyRequests_)
        onTooManyRequests_(transfer.url);
    if (transfer.retry.planned() && response.errorNumber != transfer_error::kTimeOut.number) {
        const TransferId id = transfer.id;
        QTimer::singleShot(transfer.retry.take(), this, [this, id] {
            if (const auto it = transfers_.find(id); it != transfers_.end())
                send(*it->second);
        });
        return;
    }
    const DoneHandler onDone = std::move(transfer.onDone);
    remove(transfer.id);
    if (onDone)
        onDone(response);
}

void InternetTransfer::remove(TransferId id) {
    const auto it = transfers_.find(id);
    if (it == transfers_.end())
        return;
    driver_.remove(it->second->easy);
    transfers_.erase(it);
}

void InternetTransfer::abort(TransferId id) {
    const auto it = transfers_.find(id);
    if (it == transfers_.end())
        return;
    it->second->cancel();
    // libcurl may be inside this transfer's own callback: it is removed once libcurl returns.
    if (!driver_.insideCurl())
        remove(id);
}

void InternetTransfer::abortAll() {
    std::vector<TransferId> ids;
    for (const auto& [id, transfer] : transfers_)
        ids.push_back(id);
    for (const TransferId id : ids)
        abort(id);
}

} // namespace vorlan
