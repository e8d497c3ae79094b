#include "platform/InternetTransfer.h"

#include "platform/CurlTransfer.h"
#include "platform/TransferError.h"

namespace vorlan {

InternetTransfer::InternetTransfer(QObject* parent)
    : QObject(parent),
      transfers_(*this, [this](const std::vector<TransferId>& ended) { transfersEnded(ended); }) {}

InternetTransfer::~InternetTransfer() {
    abortAll();
}

HttpClient::TransferId InternetTransfer::start(const QUrl& url, DataHandler onData,
                                               DoneHandler onDone) {
    CurlTransfer& transfer =
        transfers_.add(url, settings_.requestTimeout.count(), std::move(onData), std::move(onDone));
    send(transfer);
    return transfer.id;
}

void InternetTransfer::send(CurlTransfer& transfer) {
    transfers_.send(transfer, proxy_.proxyFor(transfer.url));
}

void InternetTransfer::transfersEnded(const std::vector<TransferId>& ended) {
    for (const TransferId id : ended) {
        CurlTransfer* const transfer = transfers_.find(id);
        if (transfer && transfer->ended)
            finish(*transfer);
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
            if (CurlTransfer* const waiting = transfers_.find(id))
                send(*waiting);
        });
        return;
    }
    const DoneHandler onDone = std::move(transfer.onDone);
    transfers_.remove(transfer.id);
    if (onDone)
        onDone(response);
}

void InternetTransfer::abort(TransferId id) {
    transfers_.abort(id);
}

void InternetTransfer::abortAll() {
    transfers_.abortAll();
}

} // namespace vorlan
