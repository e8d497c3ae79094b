#pragma once

#include "platform/HttpClient.h"

#include <QByteArray>

namespace vorlan {

// The header text of the response in progress, line by line as the server sent it: restarted
// at every status line, so that it ends as the final response's; lines after a complete
// header (a chunked body's trailer) are not kept. At most kLargestHeader bytes.
class HeaderText {
  public:
    enum class Line { Kept, TooLong, HeaderEnded };
    // Takes one line without its line end.
    Line take(QByteArrayView line);
    void clear();
    void complete() { complete_ = true; }
    bool isComplete() const { return complete_; }
    const QByteArray& text() const { return text_; }
    // The value of the last Location line since clear().
    const QByteArray& location() const { return location_; }

  private:
    QByteArray text_;
    bool complete_ = false;
    QByteArray location_;
};

// What has arrived of a transfer's final response: its header text, its status code once the
// header has ended, and how much of its body, which is cut at kLargestBody.
class ReceivedResponse {
  public:
    // Forgets an earlier response's header and status code when the request is sent again.
    void restart();
    // The part of the body bytes that fits within kLargestBody, counted as received.
    QByteArrayView takeBody(QByteArrayView bytes);
    // Whether the body has reached kLargestBody: the transfer ends there.
    bool bodyCut() const { return bodyBytes_ == kLargestBody; }
    // How the transfer ended, given libcurl's result, the address of its final request and
    // the redirects that led there.
    TransferResponse outcome(int curlResult, const QUrl& finalUrl,
                             const QList<RedirectHop>& hops) const;

    HeaderText header;
    long statusCode = 0;

  private:
    qint64 bodyBytes_ = 0;
};

} // namespace vorlan
