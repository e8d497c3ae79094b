#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QObject>
#include <QUrl>
#include <chrono>
#include <functional>
#include <map>
#include <memory>

namespace vorlan {

// The error numbers of the transfer component that its failures are reported with.
namespace transfer_error {
inline constexpr int kCannotOpenUrl = 35751;
inline constexpr int kBadUrl = 35752;
inline constexpr int kTimeOut = 35761;
inline constexpr int kInvalidUrl = 35771;
inline constexpr int kDownLevelServer = 35917;
} // namespace transfer_error

// The most body bytes one response gives, counted after decompression. A larger body is cut
// there and its transfer ends as if the body ended there, so that an endless or inflating
// page costs a bounded amount of time, memory and disk.
inline constexpr qint64 kLargestBody = 16 << 20;
// The most header bytes one response may send; a longer header ends the transfer.
inline constexpr qsizetype kLargestHeader = 256 << 10;

// The settings a check run gives the component at its start. The system's proxy settings
// (access type 0) are always applied; an http address that names no port goes to port 80,
// the scheme's own default, so that the Host header stays as a browser sends it.
struct TransferSettings {
    QString schemeWhenMissing = QStringLiteral("http"); // protocol 4
    // From sending a request to its last byte (request time-out 120).
    std::chrono::milliseconds requestTimeout = std::chrono::seconds(120);
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
    // The body broke off after a whole header (a broken chunk, a reset): the bytes given so
    // far are no page.
    bool bodyLost = false;
};

// A request target, or the error number of an address the component refuses.
struct TransferTarget {
    QUrl url;
    int errorNumber = 0;
};

// The Internet transfer component: HTTP and HTTPS GET requests on libcurl's multi interface,
// driven by this thread's event loop (socket notifiers and one timer; no thread and no
// blocking call of its own). Redirects are followed as a browser does (at most 20 hops, to
// http and https only), each request runs under a deadline that counts from sending to the
// last byte, each header is bounded by kLargestHeader and each body cut at kLargestBody.
// A busy server's 429 or 503 with a short Retry-After is asked once more after that wait.
class InternetTransfer : public QObject {
    Q_OBJECT
  public:
    using DataHandler = std::function<void(QByteArrayView)>;
    using DoneHandler = std::function<void(const TransferResponse&)>;
    // Told the address of a request its server answered with 429 "Too Many Requests".
    using TooManyRequestsHandler = std::function<void(const QUrl&)>;
    using TransferId = quint64;

    explicit InternetTransfer(QObject* parent = nullptr);
    ~InternetTransfer() override;

    // Starts a run's settings afresh; the system's proxy is asked again per host.
    void applySettings(const TransferSettings& settings);
    const TransferSettings& settings() const { return settings_; }
    void setTooManyRequestsHandler(TooManyRequestsHandler handler);

    // The address as a request target, the missing scheme added. An empty or unparsable address
    // gives kBadUrl, any scheme but http and https kInvalidUrl.
    TransferTarget target(const QString& address) const;

    // Sends a GET for a valid target. The body bytes of the final response go to onData
    // as they arrive; onDone runs once when the transfer has finished or failed, never
    // before start() returns. Bytes already given to onData belong to no page when onDone
    // reports an error or a lost body.
    TransferId start(const QUrl& url, DataHandler onData, DoneHandler onDone);

    // Stops one transfer, from its own data handler too; its handlers are not called any
    // more. A transfer that has ended is left alone.
    void abort(TransferId id);
    // Stops every transfer at once; their handlers are not called any more.
    void abortAll();
    int activeTransfers() const { return int(transfers_.size()); }

  private:
    class Transfer;
    class Multi;
    friend class Transfer;
    friend class Multi;

    // Runs libcurl on a socket that is ready, or on its timer, then finishes what ended.
    void drive(qintptr socket, int events);
    void finishEnded();
    void finish(Transfer& transfer, int curlResult);
    void send(Transfer& transfer);
    void remove(TransferId id);
    QByteArray proxyFor(const QUrl& url);

    TransferSettings settings_;
    TooManyRequestsHandler onTooManyRequests_;
    QHash<QString, QByteArray> proxies_;
    std::unique_ptr<Multi> multi_;
    std::map<TransferId, std::unique_ptr<Transfer>> transfers_;
    // Above zero while libcurl runs: a transfer aborted then is removed once it returns.
    int insideCurl_ = 0;
    TransferId lastId_ = 0;
};

} // namespace vorlan
