#include "platform/ReceivedResponse.h"

#include "platform/TransferError.h"

#include <curl/curl.h>

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

void ReceivedResponse::restart() {
    header.clear();
    statusCode = 0;
}

QByteArrayView ReceivedResponse::takeBody(QByteArrayView bytes) {
    const QByteArrayView taken = bytes.first(std::min(bytes.size(), kLargestBody - bodyBytes_));
    bodyBytes_ += taken.size();
    return taken;
}

TransferResponse ReceivedResponse::outcome(int curlResult, const QUrl& finalUrl,
                                           const QList<RedirectHop>& hops) const {
    using namespace transfer_error;
    TransferResponse response;
    if (bodyCut())
        response.errorNumber = 0;
    else if (curlResult == CURLE_OPERATION_TIMEDOUT)
        response.errorNumber = kTimeOut.number;
    else if (curlResult == CURLE_UNSUPPORTED_PROTOCOL)
        response.errorNumber = kDownLevelServer.number; // "Received HTTP/0.9 when not allowed"
    else if (!header.isComplete())
        response.errorNumber = kCannotOpenUrl.number;
    else
        response.bodyLost = curlResult != CURLE_OK; // the header stands; the page does not
    // A header that never arrived whole (cut at its bound, broken off, a redirect that went
    // nowhere) is no header: a failed query gives no text, and showing a 256 KiB fragment
    // would hold up the window.
    if (header.isComplete()) {
        response.statusCode = int(statusCode);
        response.header = QString::fromUtf8(header.text());
    }
    response.finalUrl = finalUrl;
    response.hops = hops;
    return response;
}

} // namespace vorlan
