#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QUrl>
#include <chrono>
#include <functional>

namespace vorlan {

// The most body bytes one response gives, counted after decompression. A larger body is cut
// there and its transfer ends as if the body ended there, so that an endless or inflating
// page costs a bounded amount of time, memory and disk.
inline constexpr qint64 kLargestBody = 16 << 20;
// The most header bytes one response may send; a longer header ends the transfer.
inline constexpr qsizetype kLargestHeader = 256 << 10;

// The settings a check run gives the client at its start. The system's proxy settings
// (access type 0) are always applied; an http address that names no port goes to port 80,
// the scheme's own default, so that the Host header stays as a browser sends it.
struct TransferSettings {
    QString schemeWhenMissing = QStringLiteral("http"); // protocol 4
    // From sending a request to its last byte (request time-out 120).
    std::chrono::milliseconds requestTimeout = std::chrono::seconds(120);
};

// One redirect followed: the status that sent the request on and the address it led to.
struct RedirectHop {
    int statusCode = 0;
    QUrl location;

    bool operator==(const RedirectHop&) const = default;
};

// How one transfer ended.
struct TransferResponse {
    int errorNumber = 0; // 0 when the final response's header arrived in full
    int statusCode = 0;  // status of the final response; 0 when none arrived
    // The final response's status line and header lines as the server sent them, in order,
    // joined by CR LF.
    QString header;
    // Where the redirects led: the address of the final request.
    QUrl finalUrl;
    // The redirects followed on the way there, in order.
    QList<RedirectHop> hops;
    // The body broke off after a whole header (a broken chunk, a reset): the bytes given so
    // far are no page.
    bool bodyLost = false;
};

// A request target, or the error number of an address the client refuses.
struct TransferTarget {
    QUrl url;
    int errorNumber = 0;
};

// What a check run asks of an HTTP client: GET requests whose body bytes and end it is told
// of, and word of servers that answer 429 "Too Many Requests".
class HttpClient {
  public:
    using DataHandler = std::function<void(QByteArrayView)>;
    using DoneHandler = std::function<void(const TransferResponse&)>;
    // Told the address of a request its server answered with 429 "Too Many Requests".
    using TooManyRequestsHandler = std::function<void(const QUrl&)>;
    using TransferId = quint64;

    virtual ~HttpClient() = default;

    // The address as a request target, the missing scheme added, or why it is refused.
    virtual TransferTarget target(const QString& address) const = 0;
    // Sends a GET for a valid target. The body bytes of the final response go to onData
    // as they arrive; onDone runs once when the transfer has finished or failed, never
    // before start() returns. Bytes already given to onData belong to no page when onDone
    // reports an error or a lost body.
    virtual TransferId start(const QUrl& url, DataHandler onData, DoneHandler onDone) = 0;
    // Stops one transfer, from its own data handler too; its handlers are not called any
    // more. A transfer that has ended is left alone.
    virtual void abort(TransferId id) = 0;
    // Stops every transfer at once; their handlers are not called any more.
    virtual void abortAll() = 0;
    virtual void setTooManyRequestsHandler(TooManyRequestsHandler handler) = 0;
};

} // namespace vorlan
