#include "platform/CurlTransfer.h"

#include "platform/RequestOptions.h"

namespace vorlan {

CurlTransfer::CurlTransfer(HttpClient::TransferId id, const QUrl& url, qint64 timeoutMs,
                           HttpClient::DataHandler onData, HttpClient::DoneHandler onDone)
    : id(id), easy(curl_easy_init()), url(url), onDone(std::move(onDone)),
      onData_(std::move(onData)), headers_(setFixedRequestOptions(easy)), timeoutMs_(timeoutMs) {
    sinceSent_.start();
    curl_easy_setopt(easy, CURLOPT_PRIVATE, this);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &CurlTransfer::headerArrived);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &CurlTransfer::bodyArrived);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
}

CurlTransfer::~CurlTransfer() {
    curl_easy_cleanup(easy);
    curl_slist_free_all(headers_);
}

void CurlTransfer::aim(const QByteArray& proxy) {
    received_.restart();
    retry.reset();
    const qint64 timeLeftMs = timeoutMs_ - sinceSent_.elapsed();
    curl_easy_setopt(easy, CURLOPT_URL, url.toEncoded().constData());
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, long(std::max<qint64>(timeLeftMs, 1)));
    curl_easy_setopt(easy, CURLOPT_PROXY, proxy.isEmpty() ? nullptr : proxy.constData());
}

void CurlTransfer::cancel() {
    cancelled_ = true;
    onData_ = nullptr;
    onDone = nullptr;
}

TransferResponse CurlTransfer::outcome(int curlResult) const {
    return received_.outcome(curlResult, url, redirects.hops());
}

size_t CurlTransfer::headerArrived(char* bytes, size_t size, size_t count, void* transfer) {
    return static_cast<CurlTransfer*>(transfer)->takeHeaderLine({bytes, qsizetype(size * count)});
}

size_t CurlTransfer::bodyArrived(char* bytes, size_t size, size_t count, void* transfer) {
    return static_cast<CurlTransfer*>(transfer)->takeBody({bytes, qsizetype(size * count)});
}

size_t CurlTransfer::takeHeaderLine(QByteArrayView line) {
    const size_t lineSize = size_t(line.size());
    if (cancelled_)
        return 0;
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    if (const HeaderText::Line taken = received_.header.take(line);
        taken != HeaderText::Line::HeaderEnded)
        return taken == HeaderText::Line::Kept ? lineSize : 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &received_.statusCode);
    if (received_.statusCode >= 100 && received_.statusCode < 200)
        return lineSize; // 100 Continue and the like: the answer follows
    if (redirects.sendsOn(received_.statusCode, received_.header.location(), url))
        return 0;
    received_.header.complete();
    retry.plan(easy, received_.statusCode, sinceSent_.elapsed(), timeoutMs_);
    return lineSize;
}

size_t CurlTransfer::takeBody(QByteArrayView bytes) {
    if (cancelled_)
        return 0;
    // The body of an answer that is asked for again is no page.
    if (retry.planned())
        return size_t(bytes.size());
    const QByteArrayView taken = received_.takeBody(bytes);
    if (onData_ && !taken.isEmpty())
        onData_(taken); // may cancel this very transfer
    if (cancelled_ || received_.bodyCut())
        return 0;
    return size_t(bytes.size());
}

} // namespace vorlan
