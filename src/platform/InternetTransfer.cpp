#include "InternetTransfer.h"

#include <QHash>
#include <QMutex>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QPointer>
#include <QRegularExpression>
#include <QSslSocket>
#include <QTimer>

namespace vorlan {

namespace {

using namespace transfer_error;

constexpr int kMaxRedirects = 20;
// Bytes Qt may hold for one reply before they are taken; keeps memory bounded when a page
// arrives faster than it is stored.
constexpr qint64 kReadBufferBytes = 1 << 20;
constexpr QByteArrayView kUserAgent = "Vorlan/1.0";
// A response must begin with these bytes to carry HTTP headers.
constexpr QByteArrayView kStatusLineStart = "HTTP/";

// The ways a transfer fails, and the component's error number for each.
enum class Failure { None, BadAddress, UnsupportedScheme, CannotOpen, TimedOut, NoHttpHeaders };

constexpr struct {
    Failure failure;
    int number;
} kErrorNumbers[] = {
    {Failure::None, 0},
    {Failure::BadAddress, kBadUrl},            // empty or unparsable address
    {Failure::UnsupportedScheme, kInvalidUrl}, // a scheme other than http and https
    // host not found, connection refused or reset, TLS failure, redirect loop
    {Failure::CannotOpen, kCannotOpenUrl},
    {Failure::TimedOut, kTimeOut},              // not finished within the request time-out
    {Failure::NoHttpHeaders, kDownLevelServer}, // the server answers without HTTP headers
};

int errorNumberOf(Failure failure) {
    for (const auto& entry : kErrorNumbers) {
        if (entry.failure == failure)
            return entry.number;
    }
    Q_UNREACHABLE();
}

// Errors that Qt derives from the status of a response that arrived in full: an HTTP
// error status is an answer, not a transport failure.
bool isStatusError(QNetworkReply::NetworkError error) {
    return (error >= QNetworkReply::ContentAccessDenied &&
            error <= QNetworkReply::UnknownContentError) ||
           error == QNetworkReply::ProtocolInvalidOperationError ||
           (error >= QNetworkReply::InternalServerError &&
            error <= QNetworkReply::UnknownServerError);
}

// Qt reports a reply that does not begin with a status line like a connection that broke
// before answering.
bool mayLackHttpHeaders(QNetworkReply::NetworkError error) {
    return error == QNetworkReply::RemoteHostClosedError || error == QNetworkReply::ProtocolFailure;
}

// The scheme an address names; empty when it names none. "host:8080/path" names a port.
QString schemeOf(const QString& address) {
    static const QRegularExpression schemePrefix(
        QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*):([^/?#]*)"));
    const QRegularExpressionMatch match = schemePrefix.match(address);
    if (!match.hasMatch())
        return {};
    const QStringView afterColon = match.capturedView(2);
    const bool namesPort =
        !address.mid(match.capturedEnd(1)).startsWith(u"://") &&
        std::all_of(afterColon.begin(), afterColon.end(), [](QChar c) { return c.isDigit(); });
    return namesPort ? QString() : match.captured(1).toLower();
}

QString headerText(const QNetworkReply& reply) {
    const bool http2 = reply.attribute(QNetworkRequest::Http2WasUsedAttribute).toBool();
    QString statusLine = QStringLiteral("%1 %2").arg(
        http2 ? QStringLiteral("HTTP/2") : QStringLiteral("HTTP/1.1"),
        QString::number(reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt()));
    const QString reason = reply.attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
    if (!reason.isEmpty())
        statusLine += u' ' + reason;
    QStringList lines{statusLine};
    for (const auto& [name, value] : reply.rawHeaderPairs()) {
        // Qt joins repeated Set-Cookie lines with LF: each goes back on a line of its own.
        for (const QByteArray& part : value.split('\n'))
            lines.append(QString::fromUtf8(name + ": " + part));
    }
    return lines.join(QStringLiteral("\r\n"));
}

// The system's proxy settings, asked once per scheme, host and port: asking the system
// costs more than a request to a near server.
class SystemProxyFactory : public QNetworkProxyFactory {
  public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override {
        const QUrl url = query.url();
        const QString key = url.scheme() + u' ' + url.host() + u' ' + QString::number(url.port());
        const QMutexLocker lock(&mutex_);
        auto it = answers_.find(key);
        if (it == answers_.end())
            it = answers_.insert(key, systemProxyForQuery(query));
        return *it;
    }

  private:
    QMutex mutex_; // Qt may ask from its network thread too
    QHash<QString, QList<QNetworkProxy>> answers_;
};

bool goesThroughProxy(QNetworkAccessManager& manager, const QUrl& url) {
    const QList<QNetworkProxy> proxies =
        manager.proxyFactory()->queryProxy(QNetworkProxyQuery(url));
    return !proxies.isEmpty() && proxies.first().type() != QNetworkProxy::NoProxy;
}

} // namespace

// One request in flight: its reply, its deadline and, when the server's answer could not
// be read as HTTP, a second look at the first bytes the server sends.
class InternetTransfer::Transfer : public QObject {
  public:
    Transfer(InternetTransfer& owner, TransferId id, const QUrl& url, DataHandler onData,
             DoneHandler onDone)
        : id(id), owner_(owner), onData_(std::move(onData)), onDone_(std::move(onDone)) {
        deadline_.setSingleShot(true);
        connect(&deadline_, &QTimer::timeout, this, &Transfer::timeUp);
        deadline_.start(owner.settings_.requestTimeout);
        send(url);
    }

    ~Transfer() override {
        if (probe_)
            probe_->disconnect(this);
        dropReply();
    }

    // Ends the transfer without calling its handlers.
    void cancel() {
        ended_ = true;
        onData_ = nullptr;
        onDone_ = nullptr;
        deadline_.stop();
        if (probe_)
            probe_->abort();
        dropReply();
    }

    const TransferId id;

  private:
    void send(const QUrl& url) {
        QNetworkRequest request(url);
        request.setHeader(QNetworkRequest::UserAgentHeader, kUserAgent.toByteArray());
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                             QNetworkRequest::ManualRedirectPolicy);
        // Inflated bytes count against kLargestBody: a well-compressed page is no reason
        // to refuse it.
        request.setDecompressedSafetyCheckThreshold(-1);
        reply_ = owner_.manager_->get(request);
        reply_->setReadBufferSize(kReadBufferBytes);
        connect(reply_, &QNetworkReply::metaDataChanged, this, &Transfer::headArrived);
        connect(reply_, &QNetworkReply::readyRead, this, &Transfer::bodyArrived);
        connect(reply_, &QNetworkReply::finished, this, &Transfer::replyFinished);
    }

    void dropReply() {
        if (!reply_)
            return;
        reply_->disconnect(this);
        reply_->abort();
        reply_->deleteLater();
        reply_ = nullptr;
    }

    // Where the response sends the request on; invalid when it is the final response.
    QUrl redirectTarget() const {
        static constexpr int kRedirectStatuses[] = {301, 302, 303, 307, 308};
        const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const QByteArray location = reply_->rawHeader("Location");
        if (location.isEmpty() ||
            std::find(std::begin(kRedirectStatuses), std::end(kRedirectStatuses), status) ==
                std::end(kRedirectStatuses))
            return {};
        return reply_->url().resolved(QUrl::fromEncoded(location));
    }

    bool answered() const {
        return reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
    }

    void takeHead() {
        response_.statusCode = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        response_.header = headerText(*reply_);
    }

    // A redirect is followed as soon as its head is in: its body, however long, is not
    // waited for.
    void headArrived() {
        if (const QUrl next = redirectTarget(); answered() && next.isValid()) {
            takeHead();
            follow(next);
        }
    }

    // Passes the body bytes that have arrived on, up to kLargestBody; true once the body
    // has reached it.
    bool readBody() {
        if (!reply_->isOpen())
            return false; // aborted
        const QByteArray bytes = reply_->read(kLargestBody - bodyBytes_);
        bodyBytes_ += bytes.size();
        if (onData_ && !bytes.isEmpty()) {
            // The handler may abort this very transfer, which drops its handlers.
            DataHandler onData = std::move(onData_);
            onData(bytes);
            if (ended_)
                return false;
            onData_ = std::move(onData);
        }
        return bodyBytes_ == kLargestBody;
    }

    void bodyArrived() {
        if (readBody())
            endAsReceived();
    }

    // The body is cut at kLargestBody: what arrived so far is the page.
    void endAsReceived() {
        takeHead();
        dropReply();
        complete(Failure::None);
    }

    // Redirects are followed as a browser follows them, to http and https addresses only.
    void follow(const QUrl& next) {
        dropReply();
        if (++redirects_ > kMaxRedirects ||
            (next.scheme() != u"http" && next.scheme() != u"https")) {
            complete(Failure::CannotOpen);
            return;
        }
        send(next);
    }

    void replyFinished() {
        if (readBody()) {
            endAsReceived();
            return;
        }
        if (ended_)
            return;
        const QNetworkReply::NetworkError error = reply_->error();
        const bool hasHead = answered();
        if (hasHead)
            takeHead();
        if (timedOut_ || error == QNetworkReply::TimeoutError)
            complete(Failure::TimedOut);
        else if (const QUrl next = redirectTarget(); hasHead && next.isValid())
            follow(next);
        else if (error == QNetworkReply::NoError || (hasHead && isStatusError(error)))
            complete(Failure::None);
        else if (!hasHead && mayLackHttpHeaders(error) &&
                 !goesThroughProxy(*owner_.manager_, reply_->url()))
            lookAtFirstBytes(reply_->url());
        else
            complete(Failure::CannotOpen);
    }

    // Asks once more and reads the first bytes of the answer: a server that answers
    // without a status line is a down-level server, any other is one that cannot be opened.
    void lookAtFirstBytes(const QUrl& url) {
        probe_ = std::make_unique<QSslSocket>();
        probe_->setProxy(QNetworkProxy::NoProxy);
        const QByteArray request =
            "GET " +
            url.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority | QUrl::RemoveFragment) +
            " HTTP/1.1\r\nHost: " + url.host(QUrl::FullyEncoded).toUtf8() +
            "\r\nUser-Agent: " + kUserAgent.toByteArray() + "\r\nConnection: close\r\n\r\n";
        const auto writeRequest = [this, request] { probe_->write(request); };
        if (url.scheme() == u"https") {
            connect(probe_.get(), &QSslSocket::encrypted, this, writeRequest);
            probe_->connectToHostEncrypted(url.host(), quint16(url.port(443)));
        } else {
            connect(probe_.get(), &QSslSocket::connected, this, writeRequest);
            probe_->connectToHost(url.host(), quint16(url.port(80)));
        }
        connect(probe_.get(), &QSslSocket::readyRead, this, [this] {
            firstBytes_ += probe_->read(kStatusLineStart.size() - firstBytes_.size());
            if (firstBytes_.size() == kStatusLineStart.size())
                judgeFirstBytes();
        });
        connect(probe_.get(), &QSslSocket::disconnected, this, &Transfer::judgeFirstBytes);
        connect(probe_.get(), &QSslSocket::errorOccurred, this, &Transfer::judgeFirstBytes);
    }

    void judgeFirstBytes() {
        if (!onDone_)
            return;
        firstBytes_ += probe_->read(kStatusLineStart.size() - firstBytes_.size());
        probe_->disconnect(this);
        probe_->abort();
        const bool statusLine = kStatusLineStart.first(firstBytes_.size()) == firstBytes_;
        complete(firstBytes_.isEmpty() || statusLine ? Failure::CannotOpen
                                                     : Failure::NoHttpHeaders);
    }

    void timeUp() {
        if (probe_) {
            probe_->disconnect(this);
            probe_->abort();
            complete(Failure::TimedOut);
            return;
        }
        timedOut_ = true;
        reply_->abort(); // finishes the reply, which reports the time-out
    }

    void complete(Failure failure) {
        ended_ = true;
        deadline_.stop();
        response_.errorNumber = errorNumberOf(failure);
        // The handler may end every transfer, this one included: it gets copies.
        const DoneHandler onDone = std::move(onDone_);
        const TransferResponse response = response_;
        onData_ = nullptr;
        onDone_ = nullptr;
        owner_.retire(this);
        if (onDone)
            onDone(response);
    }

    InternetTransfer& owner_;
    QPointer<QNetworkReply> reply_;
    DataHandler onData_;
    DoneHandler onDone_;
    QTimer deadline_;
    bool timedOut_ = false;
    bool ended_ = false;
    int redirects_ = 0;
    qint64 bodyBytes_ = 0;
    std::unique_ptr<QSslSocket> probe_;
    QByteArray firstBytes_;
    TransferResponse response_;
};

InternetTransfer::InternetTransfer(QObject* parent)
    : QObject(parent), manager_(std::make_unique<QNetworkAccessManager>()) {
    applySettings(TransferSettings{});
}

InternetTransfer::~InternetTransfer() {
    abortAll();
}

void InternetTransfer::applySettings(const TransferSettings& settings) {
    settings_ = settings;
    manager_->setProxyFactory(new SystemProxyFactory);
}

TransferTarget InternetTransfer::target(const QString& address) const {
    if (address.isEmpty())
        return {{}, errorNumberOf(Failure::BadAddress)};
    const QString scheme = schemeOf(address);
    if (!scheme.isEmpty() && scheme != u"http" && scheme != u"https")
        return {{}, errorNumberOf(Failure::UnsupportedScheme)};
    const QUrl url(scheme.isEmpty() ? settings_.schemeWhenMissing + QStringLiteral("://") + address
                                    : address);
    if (!url.isValid() || url.host().isEmpty())
        return {{}, errorNumberOf(Failure::BadAddress)};
    return {url, 0};
}

InternetTransfer::TransferId InternetTransfer::start(const QUrl& url, DataHandler onData,
                                                     DoneHandler onDone) {
    active_.push_back(
        std::make_unique<Transfer>(*this, ++lastId_, url, std::move(onData), std::move(onDone)));
    return lastId_;
}

void InternetTransfer::abort(TransferId id) {
    const auto it = std::find_if(active_.begin(), active_.end(),
                                 [id](const auto& held) { return held->id == id; });
    if (it == active_.end())
        return;
    (*it)->cancel();
    retire(it->get());
}

void InternetTransfer::abortAll() {
    for (const auto& transfer : active_)
        transfer->cancel();
    std::move(active_.begin(), active_.end(), std::back_inserter(retired_));
    active_.clear();
    deleteRetiredLater();
}

void InternetTransfer::retire(Transfer* transfer) {
    const auto it = std::find_if(active_.begin(), active_.end(),
                                 [transfer](const auto& held) { return held.get() == transfer; });
    retired_.push_back(std::move(*it));
    active_.erase(it);
    deleteRetiredLater();
}

void InternetTransfer::deleteRetiredLater() {
    // A transfer ends inside a signal of its reply or socket: it is deleted once that
    // signal has returned.
    if (!retired_.empty() && !deletionPending_) {
        deletionPending_ = true;
        QTimer::singleShot(0, this, [this] {
            deletionPending_ = false;
            retired_.clear();
        });
    }
}

} // namespace vorlan
