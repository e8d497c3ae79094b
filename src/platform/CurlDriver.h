#pragma once

#include "platform/TurnBudget.h"

#include <QSocketNotifier>
#include <QTimer>
#include <curl/curl.h>
#include <deque>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

namespace vorlan {

// One socket notifier pair per socket libcurl asks to watch (CURLMOPT_SOCKETFUNCTION); each
// ready socket goes to the handler with libcurl's word for what it is ready for.
class SocketWatches {
  public:
    using ReadyHandler = std::function<void(curl_socket_t socket, int event)>;

    // The notifiers' signals run in the context object's thread.
    SocketWatches(QObject& context, ReadyHandler onReady);
    static int watchSocket(CURL*, curl_socket_t socket, int what, void* watches, void*);

  private:
    struct Watch {
        std::unique_ptr<QSocketNotifier> read;
        std::unique_ptr<QSocketNotifier> write;
    };
    void watch(std::unique_ptr<QSocketNotifier>& notifier, curl_socket_t socket,
               QSocketNotifier::Type type, bool wanted);

    QObject& context_;
    const ReadyHandler onReady_;
    std::unordered_map<curl_socket_t, Watch> watches_;
};

// libcurl's multi handle, driven by this thread's event loop: its sockets' notifiers
// (SocketWatches) and one single-shot timer for the timeout it asks for
// (CURLMOPT_TIMERFUNCTION). No thread and no blocking call of its own.
//
// What libcurl does in one turn of the event loop is bounded (TurnBudget): a burst of ready
// sockets (a hundred handshakes ending together) or of new requests (each a lookup thread and a
// TLS context) would otherwise hold the window up for tens of milliseconds. Once a turn's
// budget is spent, ready sockets and libcurl's timer wait for the next turn; new requests are
// handed to libcurl a few at a time.
class CurlDriver {
  public:
    struct Ended {
        CURL* easy;
        CURLcode result;
    };
    // Told, after each run of libcurl, of the transfers it ended in that run.
    using EndedHandler = std::function<void(const std::vector<Ended>&)>;

    // The notifiers' and timer's signals run in the context object's thread.
    CurlDriver(QObject& context, EndedHandler onEnded);
    ~CurlDriver();
    CurlDriver(const CurlDriver&) = delete;
    CurlDriver& operator=(const CurlDriver&) = delete;

    void add(CURL* easy);
    // Takes a transfer out, started or still waiting to start.
    void remove(CURL* easy);
    // Whether libcurl is running: a transfer that ends now, from its own callback, is taken
    // out once it returns.
    bool insideCurl() const { return insideCurl_ > 0; }

  private:
    static int setTimer(CURLM*, long timeoutMs, void* driver);
    void startWaiting();
    // Runs libcurl on a socket that is ready, or on its timer, and tells what ended.
    void drive(curl_socket_t socket, int events);

    QObject& context_;
    const EndedHandler onEnded_;
    CURLM* const handle_;
    QTimer timer_;
    SocketWatches watches_;
    std::deque<CURL*> waitingToStart_;
    TurnBudget turn_;
    int insideCurl_ = 0;
};

} // namespace vorlan
