#pragma once

#include <QByteArrayView>
#include <QObject>
#include <QUrl>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

class QNetworkAccessManager;

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
    int errorNumber = 0; // 0 when the final response arrived in full, whatever its status
    int statusCode = 0;  // status of the final response; 0 when none arrived
    // The status line of the final response and its header lines, joined by CR LF.
    QString header;
};

// A request target, or the error number of an address the component refuses.
struct TransferTarget {
    QUrl url;
    int errorNumber = 0;
};

// The Internet transfer component: HTTP and HTTPS GET requests on QNetworkAccessManager,
// redirects followed as a browser does (at most 20 hops), each request under a deadline of
// its own that counts from sending to the last byte, however slowly the bytes trickle in,
// and each body cut at kLargestBody. Only http and https addresses ever reach the network.
class InternetTransfer : public QObject {
    Q_OBJECT
  public:
    using DataHandler = std::function<void(QByteArrayView)>;
    using DoneHandler = std::function<void(const TransferResponse&)>;
    using TransferId = quint64;

    explicit InternetTransfer(QObject* parent = nullptr);
    ~InternetTransfer() override;

    void applySettings(const TransferSettings& settings);
    const TransferSettings& settings() const { return settings_; }

    // The address as a request target, the missing scheme added. An empty or unparsable address
    // gives kBadUrl, any scheme but http and https kInvalidUrl.
    TransferTarget target(const QString& address) const;

    // Sends a GET for a valid target. The body bytes of the final response go to onData
    // as they arrive; onDone runs once when the transfer has finished or failed, never
    // before start() returns. Bytes already given to onData belong to a failed transfer
    // when onDone reports an error.
    TransferId start(const QUrl& url, DataHandler onData, DoneHandler onDone);

    // Stops one transfer, from its own data handler too; its handlers are not called any
    // more. A transfer that has ended is left alone.
    void abort(TransferId id);
    // Stops every transfer at once; their handlers are not called any more.
    void abortAll();
    int activeTransfers() const { return int(active_.size()); }

  private:
    class Transfer;
    friend class Transfer;
    void retire(Transfer* transfer);
    void deleteRetiredLater();

    // Declared first so that it outlives the transfers and their replies.
    std::unique_ptr<QNetworkAccessManager> manager_;
    TransferSettings settings_;
    std::vector<std::unique_ptr<Transfer>> active_;
    std::vector<std::unique_ptr<Transfer>> retired_;
    bool deletionPending_ = false;
    TransferId lastId_ = 0;
};

} // namespace vorlan
