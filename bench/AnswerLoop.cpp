#include "AnswerLoop.h"

#include "ServerSocket.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <queue>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unordered_map>

namespace {

using Clock = std::chrono::steady_clock;

// What goes back for one request: a header (with a small body) and, for a heavy page, so
// many filler bytes after it.
struct Answer {
    std::shared_ptr<const std::string> head;
    size_t headWritten = 0;
    uint64_t fillerLeft = 0;
};

std::shared_ptr<const std::string> withHeader(const std::string& status, const std::string& fields,
                                              uint64_t bodySize, const std::string& body = {}) {
    return std::make_shared<const std::string>("HTTP/1.1 " + status + "\r\n" + fields +
                                               "Content-Length: " + std::to_string(bodySize) +
                                               "\r\n\r\n" + body);
}

// Pages go out as they are: a compressing server would spend the machine's time that the
// measured program needs.
Answer answerFor(const std::string& path) {
    if (path.rfind("/page/", 0) == 0) {
        const std::string page = "<html><head><title>Page " + path.substr(6) +
                                 "</title></head><body>" + std::string(2000, 'x') +
                                 "</body></html>";
        return {withHeader("200 OK", "Content-Type: text/html\r\n", page.size(), page)};
    }
    if (path == "/many-headers") {
        // A hostile answer: a header of 100,000 lines (1.6 MB), which a client must bound.
        static const auto answer = [] {
            std::string lines;
            for (int i = 0; i < 100000; ++i)
                lines += "X-Line-" + std::to_string(i) + ": v\r\n";
            return withHeader("200 OK", lines + "Content-Type: text/plain\r\n", 5, "lines");
        }();
        return {answer};
    }
    if (path.rfind("/heavy/", 0) == 0) {
        const uint64_t size = std::strtoull(path.c_str() + 7, nullptr, 10) << 20;
        return {withHeader("200 OK", "Content-Type: application/octet-stream\r\n", size), 0, size};
    }
    return {withHeader("404 Not Found", "", 0)};
}

// One accepted connection: reads a request, waits the delay, writes the answer, and reads
// the next request on the same connection.
struct Connection {
    Connection(int fd, SSL_CTX* tls) : socket(fd, tls) {}
    ServerSocket socket;
    std::string received;
    Answer answer;
    bool answering = false;
};

class AnswerLoop {
  public:
    AnswerLoop(std::chrono::milliseconds delay, SSL_CTX* tls) : delay_(delay), tls_(tls) {}

    void listenOn(int listening) {
        listeners_.push_back(listening);
        watch(listening, listeners_.size() - 1, EPOLLIN, EPOLL_CTL_ADD);
    }

    [[noreturn]] void run() {
        epoll_event events[256];
        for (;;) {
            const int ready = epoll_wait(epoll_, events, 256, msUntilNextAnswer());
            for (int i = 0; i < ready; ++i) {
                const uint64_t id = events[i].data.u64;
                if (id < listeners_.size())
                    accept(listeners_[id]);
                else if (events[i].events & (EPOLLHUP | EPOLLERR))
                    connections_.erase(id); // the client went away, perhaps before its answer
                else if (const auto it = connections_.find(id); it != connections_.end())
                    advance(id, *it->second);
            }
            answerDue();
        }
    }

  private:
    void watch(int fd, uint64_t id, uint32_t events, int operation) {
        epoll_event event{};
        event.events = events;
        event.data.u64 = id;
        epoll_ctl(epoll_, operation, fd, &event);
    }

    void accept(int listening) {
        for (;;) {
            const int fd = accept4(listening, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd < 0)
                return;
            int yes = 1;
            setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
            const uint64_t id = nextId_++;
            connections_.emplace(id, std::make_unique<Connection>(fd, tls_));
            watch(fd, id, EPOLLIN, EPOLL_CTL_ADD);
        }
    }

    // Moves the connection on as far as its socket allows: once an answer is written, the
    // next request is read at once (TLS may hold it already).
    void advance(uint64_t id, Connection& connection) {
        ServerSocket::Io outcome;
        do
            outcome = connection.answering ? writeAnswer(connection) : readRequest(id, connection);
        while (outcome == ServerSocket::Io::Done && !connection.answering);
        if (outcome == ServerSocket::Io::Closed) {
            connections_.erase(id);
            return;
        }
        uint32_t events = 0; // an answer waiting for its delay
        if (outcome == ServerSocket::Io::Again)
            events = connection.socket.waitsToWrite() ? EPOLLOUT : EPOLLIN;
        watch(connection.socket.fd(), id, events, EPOLL_CTL_MOD);
    }

    // Reads until a whole request header is there; its answer is then due after the delay.
    ServerSocket::Io readRequest(uint64_t id, Connection& connection) {
        size_t end = connection.received.find("\r\n\r\n");
        while (end == std::string::npos) {
            const ServerSocket::Io outcome = connection.socket.read(connection.received);
            end = connection.received.find("\r\n\r\n");
            if (end == std::string::npos)
                return outcome;
        }
        const size_t pathStart = connection.received.find(' ') + 1;
        const size_t pathEnd = connection.received.find(' ', pathStart);
        connection.answer = answerFor(connection.received.substr(pathStart, pathEnd - pathStart));
        connection.received.erase(0, end + 4);
        connection.answering = true;
        due_.push({Clock::now() + delay_, id});
        return ServerSocket::Io::Done;
    }

    ServerSocket::Io writeAnswer(Connection& connection) {
        static const std::string filler(64 << 10, 'h');
        Answer& answer = connection.answer;
        ServerSocket::Io outcome =
            connection.socket.write(answer.head->data(), answer.head->size(), answer.headWritten);
        while (outcome == ServerSocket::Io::Done && answer.fillerLeft > 0) {
            size_t written = 0;
            outcome = connection.socket.write(
                filler.data(), std::min<uint64_t>(filler.size(), answer.fillerLeft), written);
            answer.fillerLeft -= written;
        }
        if (outcome == ServerSocket::Io::Done)
            connection.answering = false;
        return outcome;
    }

    int msUntilNextAnswer() const {
        if (due_.empty())
            return -1;
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(due_.top().first - Clock::now());
        return int(std::max<long>(left.count(), 0));
    }

    void answerDue() {
        while (!due_.empty() && due_.top().first <= Clock::now()) {
            const uint64_t id = due_.top().second;
            due_.pop();
            if (const auto it = connections_.find(id); it != connections_.end())
                advance(id, *it->second);
        }
    }

    std::chrono::milliseconds delay_;
    SSL_CTX* tls_;
    int epoll_ = epoll_create1(EPOLL_CLOEXEC);
    std::vector<int> listeners_;
    std::unordered_map<uint64_t, std::unique_ptr<Connection>> connections_;
    uint64_t nextId_ = 1 << 20;
    using Due = std::pair<Clock::time_point, uint64_t>;
    std::priority_queue<Due, std::vector<Due>, std::greater<>> due_;
};

} // namespace

void answerForever(const std::vector<int>& listeners, std::chrono::milliseconds delay,
                   SSL_CTX* tls) {
    AnswerLoop loop(delay, tls);
    for (const int listening : listeners)
        loop.listenOn(listening);
    loop.run();
}
