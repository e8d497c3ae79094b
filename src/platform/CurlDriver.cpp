#include "platform/CurlDriver.h"

#include <algorithm>
#include <mutex>

namespace vorlan {

namespace {

// A notifier that is no longer wanted may be the one whose signal is running.
void retire(std::unique_ptr<QSocketNotifier>& notifier) {
    if (notifier) {
        notifier->setEnabled(false);
        notifier.release()->deleteLater();
    }
}

// libcurl's global state is set up once, before its first handle.
CURLM* newMultiHandle() {
    static std::once_flag curlReady;
    std::call_once(curlReady, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    return curl_multi_init();
}

} // namespace

SocketWatches::SocketWatches(QObject& context, ReadyHandler onReady)
    : context_(context), onReady_(std::move(onReady)) {}

void SocketWatches::watch(std::unique_ptr<QSocketNotifier>& notifier, curl_socket_t socket,
                          QSocketNotifier::Type type, bool wanted) {
    if (!wanted) {
        retire(notifier);
        return;
    }
    if (notifier)
        return;
    notifier = std::make_unique<QSocketNotifier>(socket, type);
    const int event = type == QSocketNotifier::Read ? CURL_CSELECT_IN : CURL_CSELECT_OUT;
    QObject::connect(notifier.get(), &QSocketNotifier::activated, &context_,
                     [this, socket, event] { onReady_(socket, event); });
}

int SocketWatches::watchSocket(CURL*, curl_socket_t socket, int what, void* watches, void*) {
    auto& self = *static_cast<SocketWatches*>(watches);
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

CurlDriver::CurlDriver(QObject& context, EndedHandler onEnded)
    : context_(context), onEnded_(std::move(onEnded)), handle_(newMultiHandle()),
      // A ready socket that waits for the next turn stays ready: its notifier fires again.
      watches_(context,
               [this](curl_socket_t socket, int event) {
                   if (turn_.mayWork())
                       drive(socket, event);
               }),
      turn_(context, [this] { startWaiting(); }) {
    curl_multi_setopt(handle_, CURLMOPT_SOCKETFUNCTION, &SocketWatches::watchSocket);
    curl_multi_setopt(handle_, CURLMOPT_SOCKETDATA, &watches_);
    curl_multi_setopt(handle_, CURLMOPT_TIMERFUNCTION, &CurlDriver::setTimer);
    curl_multi_setopt(handle_, CURLMOPT_TIMERDATA, this);
    // Connections stay open for reuse: those of the requests in flight (a run keeps up to 256)
    // and some idle ones, whose hosts' next requests a run starts first. No more: libcurl
    // walks its whole cache of connections whenever a transfer ends.
    curl_multi_setopt(handle_, CURLMOPT_MAXCONNECTS, 300L);
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, &context_, [this] {
        if (turn_.mayWork())
            drive(CURL_SOCKET_TIMEOUT, 0);
        else
            timer_.start(0);
    });
}

CurlDriver::~CurlDriver() {
    curl_multi_cleanup(handle_);
}

void CurlDriver::add(CURL* easy) {
    waitingToStart_.push_back(easy);
    startWaiting();
}

void CurlDriver::remove(CURL* easy) {
    const auto waiting = std::find(waitingToStart_.begin(), waitingToStart_.end(), easy);
    if (waiting != waitingToStart_.end())
        waitingToStart_.erase(waiting);
    else
        curl_multi_remove_handle(handle_, easy);
}

void CurlDriver::startWaiting() {
    while (!waitingToStart_.empty() && turn_.mayStart()) {
        curl_multi_add_handle(handle_, waitingToStart_.front());
        waitingToStart_.pop_front();
    }
}

void CurlDriver::drive(curl_socket_t socket, int events) {
    int running = 0;
    ++insideCurl_;
    curl_multi_socket_action(handle_, socket, events, &running);
    --insideCurl_;
    std::vector<Ended> ended;
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(handle_, &queued)) {
        if (message->msg == CURLMSG_DONE)
            ended.push_back({message->easy_handle, message->data.result});
    }
    onEnded_(ended);
}

int CurlDriver::setTimer(CURLM*, long timeoutMs, void* driver) {
    auto& self = *static_cast<CurlDriver*>(driver);
    if (timeoutMs < 0)
        self.timer_.stop();
    else
        self.timer_.start(int(timeoutMs));
    return 0;
}

} // namespace vorlan
