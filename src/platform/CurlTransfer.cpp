#include "platform/CurlTransfer.h"

#include "platform/RequestOptions.h"
#include "platform/TransferError.h"

namespace vorlan {

HeaderText::Line HeaderText::take(QByteArrayView line) {
    if (line.startsWith("HTTP/")) {
        // A new response begins: a redirect's or an interim one's lines are not kept.
        text_.clear();
        complete_ = false;
    } else if (complete_) {
        return Line::Kept; // trailer lines after a chunked body
    }
    if (line.isEmpty())
        return Line::HeaderEnded;
    if (text_.size() + line.size() + 2 > kLargestHeader)
        return Line::TooLong;
    if (!text_.isEmpty())
        text_ += "\r\n";
    text_ += line;
    if (line.size() > 9 && line.first(9).compare("location:", Qt::CaseInsensitive) == 0)
        location_ = line.sliced(9).toByteArray();
    return Line::Kept;
}

void HeaderText::clear() {
    text_.clear();
    complete_ = false;
    location_.clear();
}

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
    header_.clear();
    statusCode_ = 0;
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
    using namespace transfer_error;
    TransferResponse response;
    if (bodyCut_)
        response.errorNumber = 0;
    else if (curlResult == CURLE_OPERATION_TIMEDOUT)
        response.errorNumber = kTimeOut.number;
    else if (curlResult == CURLE_UNSUPPORTED_PROTOCOL)
        response.errorNumber = kDownLevelServer.number; // "Received HTTP/0.9 when not allowed"
    else if (!header_.isComplete())
        response.errorNumber = kCannotOpenUrl.number;
    else
        response.bodyLost = curlResult != CURLE_OK; // the header stands; the page does not
    // A header that never arrived whole (cut at its bound, broken off, a redirect that went
    // nowhere) is no header: a failed query gives no text, and showing a 256 KiB fragment
    // would hold up the window.
    if (header_.isComplete()) {
        response.statusCode = int(statusCode_);
        response.header = QString::fromUtf8(header_.text());
    }
    response.finalUrl = url;
    response.hops = redirects.hops();
    return response;
}

size_t CurlTransfer::headerArrived(char* bytes, size_t size, size_t count, void* transfer) {
    return static_cast<CurlTransfer*>(transfer)->takeHeaderLine({bytes, qsizetype(size * count)});
}

size_t CurlTransfer::bodyArrived(char* bytes, size_t size, size_t count, void* transfer) {
    return static_cast<CurlTransfer*>(transfer)->takeBody({bytes, qsizetype(size * count)});
}

size_t CurlTransfer::takeHeaderLine(QByteArrayView line) {
    const size_t received = size_t(line.size());
    if (cancelled_)
        return 0;
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    if (const HeaderText::Line taken = header_.take(line); taken != HeaderText::Line::HeaderEnded)
        return taken == HeaderText::Line::Kept ? received : 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &statusCode_);
    if (statusCode_ >= 100 && statusCode_ < 200)
        return received; // 100 Continue and the like: the answer follows
    if (redirects.sendsOn(statusCode_, header_.location(), url))
        return 0;
    header_.complete();
    retry.plan(easy, statusCode_, sinceSent_.elapsed(), timeoutMs_);
    return received;
}

size_t CurlTransfer::takeBody(QByteArrayView bytes) {
    if (cancelled_)
        return 0;
    // The body of an answer that is asked for again is no page.
    if (retry.planned())
        return size_t(bytes.size());
    const QByteArrayView taken = bytes.first(std::min(bytes.size(), kLargestBody - bodyBytes_));
    bodyBytes_ += taken.size();
    if (onData_ && !taken.isEmpty())
        onData_(taken); // may cancel this very transfer
    if (cancelled_)
        return 0;
    if (bodyBytes_ == kLargestBody) {
        bodyCut_ = true;
        return 0;
    }
    return size_t(bytes.size());
}

} // namespace vorlan
