#include "platform/InternetTransfer.h"

#include "platform/TrustStore.h"

#include <QElapsedTimer>
#include <QNetworkProxyFactory>
#include <QRegularExpression>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <curl/curl.h>
#include <deque>
#include <mutex>
#include <unordered_map>

namespace vorlan {

namespace {

using namespace transfer_error;

constexpr int kMaxRedirects = 20;
// A Retry-After longer than this is not waited for: the answer stands.
constexpr curl_off_t kLongestRetryWaitSeconds = 30;
constexpr const char* kUserAgent = "Vorlan/1.0";
constexpr const char* kAccept = "Accept: text/html,application/xhtml+xml,*/*;q=0.8";

// The ways a transfer fails, and the component's error number for each.
enum class Failure { None, BadAddress, UnsupportedScheme, CannotOpen, TimedOut, NoHttpHeaders };

constexpr struct {
    Failure failure;
    int number;
} kErrorNumbers[] = {
    {Failure::None, 0},
    {Failure::BadAddress, kBadUrl},            // empty or unparsable address
    {Failure::UnsupportedScheme, kInvalidUrl}, // a scheme other than http and https
    // host not found, connection refused or reset, TLS failure, too many redirects, a
    // header beyond kLargestHeader
    {Failure::CannotOpen, kCannotOpenUrl},
    {Failure::TimedOut, kTimeOut},              // not finished within the request time-out
    {Failure::NoHttpHeaders, kDownLevelServer}, // the server answers without a status line
};

int errorNumberOf(Failure failure) {
    for (const auto& entry : kErrorNumbers) {
        if (entry.failure == failure)
            return entry.number;
    }
    Q_UNREACHABLE();
}

bool isWebScheme(const QString& scheme) {
    return scheme == u"http" || scheme == u"https";
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

bool isRedirect(long status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// A proxy of the system's settings as libcurl names it; empty for a direct connection.
QByteArray curlProxy(const QNetworkProxy& proxy) {
    QByteArray scheme;
    switch (proxy.type()) {
    case QNetworkProxy::HttpProxy:
        scheme = "http";
        break;
    case QNetworkProxy::Socks5Proxy:
        scheme = "socks5h";
        break;
    default:
        return {};
    }
    QUrl url;
    url.setScheme(QString::fromLatin1(scheme));
    url.setHost(proxy.hostName());
    url.setPort(proxy.port());
    url.setUserName(proxy.user());
    url.setPassword(proxy.password());
    return url.toEncoded();
}

} // namespace

// libcurl's multi handle and the event loop's watch over the sockets and the timer it asks for.
//
// What libcurl does in one turn of the event loop is bounded: a burst of ready sockets (a
// hundred handshakes ending together) or of new requests (each a lookup thread and a TLS
// context) would otherwise hold the window up for tens of milliseconds. Once a turn has had
// kTurnBudgetMs, ready sockets and libcurl's timer wait for the next turn; new requests are
// handed to libcurl kStartsPerTurn at a time.
class InternetTransfer::Multi {
  public:
    explicit Multi(InternetTransfer& owner) : owner_(owner), handle_(curl_multi_init()) {
        curl_multi_setopt(handle_, CURLMOPT_SOCKETFUNCTION, &Multi::watchSocket);
        curl_multi_setopt(handle_, CURLMOPT_SOCKETDATA, this);
        curl_multi_setopt(handle_, CURLMOPT_TIMERFUNCTION, &Multi::setTimer);
        curl_multi_setopt(handle_, CURLMOPT_TIMERDATA, this);
        // Connections stay open for reuse across the hosts of a run.
        curl_multi_setopt(handle_, CURLMOPT_MAXCONNECTS, 512L);
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, &owner, [this] {
            if (mayWork())
                owner_.drive(CURL_SOCKET_TIMEOUT, 0);
            else
                timer_.start(0);
        });
    }
    ~Multi() {
        watches_.clear();
        curl_multi_cleanup(handle_);
    }

    CURLM* handle() const { return handle_; }

    void add(CURL* easy) {
        waitingToStart_.push_back(easy);
        startWaiting();
    }
    void remove(CURL* easy) {
        const auto waiting = std::find(waitingToStart_.begin(), waitingToStart_.end(), easy);
        if (waiting != waitingToStart_.end())
            waitingToStart_.erase(waiting);
        else
            curl_multi_remove_handle(handle_, easy);
    }

  private:
    static constexpr qint64 kTurnBudgetMs = 8;
    static constexpr int kStartsPerTurn = 8;

    // Whether libcurl may do more in this turn; the first call opens the turn.
    bool mayWork() {
        if (!turnOpen_) {
            turnOpen_ = true;
            startedThisTurn_ = 0;
            turn_.start();
            QMetaObject::invokeMethod(
                &owner_, [this] { endTurn(); }, Qt::QueuedConnection);
        }
        return turn_.elapsed() < kTurnBudgetMs;
    }

    void endTurn() {
        turnOpen_ = false;
        startWaiting();
    }

    void startWaiting() {
        while (!waitingToStart_.empty() && mayWork() && startedThisTurn_ < kStartsPerTurn) {
            curl_multi_add_handle(handle_, waitingToStart_.front());
            waitingToStart_.pop_front();
            ++startedThisTurn_;
        }
    }

    // A ready socket that waits for the next turn stays ready: its notifier fires again.
    void ready(curl_socket_t socket, int event) {
        if (mayWork())
            owner_.drive(socket, event);
    }

    struct Watch {
        std::unique_ptr<QSocketNotifier> read;
        std::unique_ptr<QSocketNotifier> write;
    };

    // A notifier that is no longer wanted may be the one whose signal is running.
    static void retire(std::unique_ptr<QSocketNotifier>& notifier) {
        if (notifier) {
            notifier->setEnabled(false);
            notifier.release()->deleteLater();
        }
    }

    void watch(std::unique_ptr<QSocketNotifier>& notifier, curl_socket_t socket,
               QSocketNotifier::Type type, bool wanted) {
        if (!wanted) {
            retire(notifier);
            return;
        }
        if (notifier)
            return;
        notifier = std::make_unique<QSocketNotifier>(socket, type);
        const int event = type == QSocketNotifier::Read ? CURL_CSELECT_IN : CURL_CSELECT_OUT;
        QObject::connect(notifier.get(), &QSocketNotifier::activated, &owner_,
                         [this, socket, event] { ready(socket, event); });
    }

    static int watchSocket(CURL*, curl_socket_t socket, int what, void* multi, void*) {
        auto& self = *static_cast<Multi*>(multi);
        if (what == CURL_POLL_REMOVE) {
            if (const auto it = self.watches_.find(socket); it != self.watches_.end()) {
                retire(it->second.read);
                retire(it->second.write);
                self.watches_.erase(it);
            }
            return 0;
        }
        Watch& watch = self.watches_[socket];
        self.watch(watch.read, socket, QSocketNotifier::Read,
                   what == CURL_POLL_IN || what == CURL_POLL_INOUT);
        self.watch(watch.write, socket, QSocketNotifier::Write,
                   what == CURL_POLL_OUT || what == CURL_POLL_INOUT);
        return 0;
    }

    static int setTimer(CURLM*, long timeoutMs, void* multi) {
        auto& self = *static_cast<Multi*>(multi);
        if (timeoutMs < 0)
            self.timer_.stop();
        else
            self.timer_.start(int(timeoutMs));
        return 0;
    }

    InternetTransfer& owner_;
    CURLM* handle_;
    QTimer timer_;
    std::unordered_map<curl_socket_t, Watch> watches_;
    std::deque<CURL*> waitingToStart_;
    QElapsedTimer turn_;
    bool turnOpen_ = false;
    int startedThisTurn_ = 0;
};

// One request in flight, with what has arrived of its final response.
class InternetTransfer::Transfer {
  public:
    Transfer(TransferId id, const QUrl& url, DataHandler onData, DoneHandler onDone)
        : id(id), url(url), onData(std::move(onData)), onDone(std::move(onDone)),
          easy(curl_easy_init()) {
        headers = curl_slist_append(nullptr, kAccept);
        sinceSent.start();
    }
    ~Transfer() {
        curl_easy_cleanup(easy);
        curl_slist_free_all(headers);
    }
    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;

    // Forgets what arrived of an earlier response before the request is sent again.
    void restart() {
        header.clear();
        headerComplete = false;
        headerTooLong = false;
        statusCode = 0;
        redirectTo.clear();
        location.clear();
        discardBody = false;
        errorText[0] = '\0';
    }

    static size_t headerArrived(char* bytes, size_t size, size_t count, void* transfer) {
        return static_cast<Transfer*>(transfer)->takeHeaderLine({bytes, qsizetype(size * count)});
    }
    static size_t bodyArrived(char* bytes, size_t size, size_t count, void* transfer) {
        return static_cast<Transfer*>(transfer)->takeBody({bytes, qsizetype(size * count)});
    }

    const TransferId id;
    QUrl url;
    DataHandler onData;
    DoneHandler onDone;
    CURL* const easy;
    curl_slist* headers = nullptr;
    QElapsedTimer sinceSent;
    qint64 timeoutMs = 0;
    int redirects = 0;
    bool retried = false;
    bool cancelled = false;
    // Told once the transfer has ended, from outside libcurl.
    bool ended = false;
    int curlResult = CURLE_OK;

    QByteArray header;
    bool headerComplete = false;
    bool headerTooLong = false;
    long statusCode = 0;
    QByteArray location;
    QUrl redirectTo;
    // The body of an answer that is asked for again is no page.
    bool discardBody = false;
    qint64 bodyBytes = 0;
    bool bodyCut = false;
    char errorText[CURL_ERROR_SIZE] = {};

    // Set when a busy server's answer (429, 503) is in: after how many seconds it is asked
    // once more, when that fits in the request's time (its body is then discarded).
    curl_off_t retryAfterSeconds = 0;

  private:
    size_t takeHeaderLine(QByteArrayView line) {
        const qsizetype received = line.size();
        if (cancelled)
            return 0;
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        if (line.startsWith("HTTP/")) {
            // A new response begins: a redirect's or an interim one's lines are not kept.
            header.clear();
            headerComplete = false;
        } else if (headerComplete) {
            return size_t(received); // trailer lines after a chunked body
        }
        if (!line.isEmpty()) {
            if (header.size() + line.size() + 2 > kLargestHeader) {
                headerTooLong = true;
                return 0;
            }
            if (!header.isEmpty())
                header += "\r\n";
            header += line;
            if (line.size() > 9 &&
                QByteArrayView(line).first(9).compare("location:", Qt::CaseInsensitive) == 0)
                location = line.sliced(9).toByteArray();
            return size_t(received);
        }
        curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &statusCode);
        if (statusCode >= 100 && statusCode < 200)
            return size_t(received); // 100 Continue and the like: the answer follows
        if (isRedirect(statusCode) && !location.isEmpty()) {
            // Followed at once: a redirect's body, however long, is not waited for.
            redirectTo = url.resolved(QUrl::fromEncoded(location.trimmed()));
            return 0;
        }
        headerComplete = true;
        if ((statusCode == 429 || statusCode == 503) && !retried) {
            curl_off_t wait = 0;
            curl_easy_getinfo(easy, CURLINFO_RETRY_AFTER, &wait);
            retryAfterSeconds = wait;
            discardBody = wait > 0 && wait <= kLongestRetryWaitSeconds &&
                          sinceSent.elapsed() + wait * 1000 < timeoutMs;
        }
        return size_t(received);
    }

    size_t takeBody(QByteArrayView bytes) {
        if (cancelled)
            return 0;
        if (discardBody)
            return size_t(bytes.size());
        const QByteArrayView taken = bytes.first(std::min(bytes.size(), kLargestBody - bodyBytes));
        bodyBytes += taken.size();
        if (onData && !taken.isEmpty())
            onData(taken); // may abort this very transfer
        if (cancelled)
            return 0;
        if (bodyBytes == kLargestBody) {
            bodyCut = true;
            return 0;
        }
        return size_t(bytes.size());
    }
};

InternetTransfer::InternetTransfer(QObject* parent) : QObject(parent) {
    static std::once_flag curlReady;
    std::call_once(curlReady, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    multi_ = std::make_unique<Multi>(*this);
}

InternetTransfer::~InternetTransfer() {
    abortAll();
}

void InternetTransfer::applySettings(const TransferSettings& settings) {
    settings_ = settings;
    proxies_.clear();
}

void InternetTransfer::setTooManyRequestsHandler(TooManyRequestsHandler handler) {
    onTooManyRequests_ = std::move(handler);
}

TransferTarget InternetTransfer::target(const QString& address) const {
    if (address.isEmpty())
        return {{}, errorNumberOf(Failure::BadAddress)};
    const QString scheme = schemeOf(address);
    if (!scheme.isEmpty() && !isWebScheme(scheme))
        return {{}, errorNumberOf(Failure::UnsupportedScheme)};
    const QUrl url(scheme.isEmpty() ? settings_.schemeWhenMissing + QStringLiteral("://") + address
                                    : address);
    if (!url.isValid() || url.host().isEmpty())
        return {{}, errorNumberOf(Failure::BadAddress)};
    return {url, 0};
}

QByteArray InternetTransfer::proxyFor(const QUrl& url) {
    // Asking the system costs more than a request to a near server: once per host and run.
    const QString key = url.scheme() + u' ' + url.host() + u' ' + QString::number(url.port());
    auto it = proxies_.find(key);
    if (it == proxies_.end()) {
        const QList<QNetworkProxy> proxies =
            QNetworkProxyFactory::systemProxyForQuery(QNetworkProxyQuery(url));
        it = proxies_.insert(key, proxies.isEmpty() ? QByteArray() : curlProxy(proxies.first()));
    }
    return *it;
}

InternetTransfer::TransferId InternetTransfer::start(const QUrl& url, DataHandler onData,
                                                     DoneHandler onDone) {
    const TransferId id = ++lastId_;
    auto& transfer =
        *transfers_
             .emplace(id, std::make_unique<Transfer>(id, url, std::move(onData), std::move(onDone)))
             .first->second;
    transfer.timeoutMs = settings_.requestTimeout.count();
    CURL* easy = transfer.easy;
    curl_easy_setopt(easy, CURLOPT_PRIVATE, &transfer);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_2TLS));
    curl_easy_setopt(easy, CURLOPT_USERAGENT, kUserAgent);
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, transfer.headers);
    curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, transfer.errorText);
    useSharedTrustStore(easy);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Transfer::headerArrived);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Transfer::bodyArrived);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer);
    send(transfer);
    return id;
}

// Sends the transfer's request to its present address, within what is left of its time.
void InternetTransfer::send(Transfer& transfer) {
    transfer.restart();
    const qint64 timeLeftMs = transfer.timeoutMs - transfer.sinceSent.elapsed();
    curl_easy_setopt(transfer.easy, CURLOPT_URL, transfer.url.toEncoded().constData());
    curl_easy_setopt(transfer.easy, CURLOPT_TIMEOUT_MS, long(std::max<qint64>(timeLeftMs, 1)));
    const QByteArray proxy = proxyFor(transfer.url);
    curl_easy_setopt(transfer.easy, CURLOPT_PROXY, proxy.isEmpty() ? nullptr : proxy.constData());
    multi_->add(transfer.easy);
}

void InternetTransfer::drive(qintptr socket, int events) {
    int running = 0;
    ++insideCurl_;
    curl_multi_socket_action(multi_->handle(), curl_socket_t(socket), events, &running);
    --insideCurl_;
    finishEnded();
}

void InternetTransfer::finishEnded() {
    // Every transfer that ended is taken out of libcurl first: a handler may end or start
    // others.
    std::vector<TransferId> ended;
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_->handle(), &queued)) {
        if (message->msg != CURLMSG_DONE)
            continue;
        Transfer* transfer = nullptr;
        curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &transfer);
        transfer->curlResult = message->data.result;
        transfer->ended = true;
        ended.push_back(transfer->id);
    }
    for (auto it = transfers_.begin(); it != transfers_.end();) {
        Transfer& transfer = *it->second;
        ++it;
        if (transfer.cancelled)
            remove(transfer.id);
        else if (transfer.ended)
            curl_multi_remove_handle(multi_->handle(), transfer.easy);
    }
    for (const TransferId id : ended) {
        const auto it = transfers_.find(id);
        if (it != transfers_.end() && it->second->ended)
            finish(*it->second, it->second->curlResult);
    }
}

void InternetTransfer::finish(Transfer& transfer, int curlResult) {
    transfer.ended = false;
    if (!transfer.redirectTo.isEmpty()) {
        const QUrl next = transfer.redirectTo;
        if (++transfer.redirects <= kMaxRedirects && isWebScheme(next.scheme())) {
            transfer.url = next;
            send(transfer);
            return;
        }
        curlResult = CURLE_TOO_MANY_REDIRECTS;
    }
    Failure failure = Failure::None;
    bool bodyLost = false;
    if (transfer.bodyCut)
        failure = Failure::None;
    else if (curlResult == CURLE_OPERATION_TIMEDOUT)
        failure = Failure::TimedOut;
    else if (curlResult == CURLE_UNSUPPORTED_PROTOCOL)
        failure = Failure::NoHttpHeaders; // "Received HTTP/0.9 when not allowed"
    else if (!transfer.headerComplete)
        failure = Failure::CannotOpen;
    else
        bodyLost = curlResult != CURLE_OK; // the header stands; the page does not

    if (transfer.headerComplete && transfer.statusCode == 429 && onTooManyRequests_)
        onTooManyRequests_(transfer.url);
    if (transfer.discardBody && failure != Failure::TimedOut) {
        transfer.retried = true;
        const TransferId id = transfer.id;
        QTimer::singleShot(std::chrono::seconds(transfer.retryAfterSeconds), this, [this, id] {
            if (const auto it = transfers_.find(id); it != transfers_.end())
                send(*it->second);
        });
        return;
    }
    TransferResponse response;
    response.errorNumber = errorNumberOf(failure);
    response.statusCode = transfer.headerComplete ? int(transfer.statusCode) : 0;
    // A header that never arrived whole (cut at its bound, broken off, a redirect that went
    // nowhere) is no header: a failed query gives no text, and showing a 256 KiB fragment
    // would hold up the window.
    if (transfer.headerComplete)
        response.header = QString::fromUtf8(transfer.header);
    response.bodyLost = bodyLost;
    response.finalUrl = transfer.url;
    const DoneHandler onDone = std::move(transfer.onDone);
    remove(transfer.id);
    if (onDone)
        onDone(response);
}

void InternetTransfer::remove(TransferId id) {
    const auto it = transfers_.find(id);
    if (it == transfers_.end())
        return;
    multi_->remove(it->second->easy);
    transfers_.erase(it);
}

void InternetTransfer::abort(TransferId id) {
    const auto it = transfers_.find(id);
    if (it == transfers_.end())
        return;
    Transfer& transfer = *it->second;
    transfer.cancelled = true;
    transfer.onData = nullptr;
    transfer.onDone = nullptr;
    // libcurl may be inside this transfer's own callback: it is removed once libcurl returns.
    if (insideCurl_ == 0)
        remove(id);
}

void InternetTransfer::abortAll() {
    std::vector<TransferId> ids;
    for (const auto& [id, transfer] : transfers_)
        ids.push_back(id);
    for (const TransferId id : ids)
        abort(id);
}

} // namespace vorlan
