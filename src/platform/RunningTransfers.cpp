#include "platform/RunningTransfers.h"

#include "platform/CurlTransfer.h"

namespace vorlan {

RunningTransfers::RunningTransfers(QObject& context, EndedHandler onEnded)
    : onEnded_(std::move(onEnded)),
      driver_(context, [this](const std::vector<CurlDriver::Ended>& ended) { takeOut(ended); }) {}

RunningTransfers::~RunningTransfers() = default;

CurlTransfer& RunningTransfers::add(const QUrl& url, qint64 timeoutMs,
                                    HttpClient::DataHandler onData,
                                    HttpClient::DoneHandler onDone) {
    const TransferId id = ++lastId_;
    auto transfer =
        std::make_unique<CurlTransfer>(id, url, timeoutMs, std::move(onData), std::move(onDone));
    transfer->lookups = lookups_.attach(transfer->easy);
    return *transfers_.emplace(id, std::move(transfer)).first->second;
}

void RunningTransfers::send(CurlTransfer& transfer, const QByteArray& proxy) {
    transfer.aim(proxy);
    driver_.add(transfer.easy);
}

CurlTransfer* RunningTransfers::find(TransferId id) {
    const auto it = transfers_.find(id);
    return it != transfers_.end() ? it->second.get() : nullptr;
}

void RunningTransfers::takeOut(const std::vector<CurlDriver::Ended>& ended) {
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
    onEnded_(ids);
}

void RunningTransfers::remove(TransferId id) {
    const auto it = transfers_.find(id);
    if (it == transfers_.end())
        return;
    driver_.remove(it->second->easy);
    transfers_.erase(it);
}

void RunningTransfers::abort(TransferId id) {
    const auto it = transfers_.find(id);
    if (it == transfers_.end())
        return;
    it->second->cancel();
    // libcurl may be inside this transfer's own callback: it is removed once libcurl returns.
    if (!driver_.insideCurl())
        remove(id);
}

void RunningTransfers::abortAll() {
    std::vector<TransferId> ids;
    for (const auto& [id, transfer] : transfers_)
        ids.push_back(id);
    for (const TransferId id : ids)
        abort(id);
}

} // namespace vorlan
