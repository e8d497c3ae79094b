#include "LatencyServer.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <httplib.h>
#include <memory>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// The benchmark DNS server maps h<K>.bench.test onto 127.0.0.<K>, wrapping round after 253.
constexpr int kDnsAddresses = 253;
// The served addresses are 127.0.0.2 to 127.0.0.251.
constexpr int kMostAddresses = 250;

// Threads per host: the six connections a client opens to one host, and spares.
constexpr size_t kThreadsPerHost = 10;
constexpr size_t kChunkBytes = 64 << 10;

std::string hostAddress(int host) {
    return "127.0.0." + std::to_string(2 + host);
}

void addRoutes(httplib::Server& server, std::chrono::milliseconds delay) {
    // Pages go out as they are: a compressing server would spend the machine's time that
    // the measured program needs.
    server.Get(R"(/page/(\d+))", [delay](const httplib::Request& req, httplib::Response& res) {
        std::this_thread::sleep_for(delay);
        auto page = std::make_shared<std::string>(
            "<html><head><title>Page " + std::string(req.matches[1]) + "</title></head><body>" +
            std::string(2000, 'x') + "</body></html>");
        res.set_content_provider(page->size(), "text/html",
                                 [page](size_t offset, size_t length, httplib::DataSink& sink) {
                                     return sink.write(page->data() + offset, length);
                                 });
    });
    // A hostile answer: a header of 100,000 lines (1.6 MB), which a client must bound.
    server.Get("/many-headers", [delay](const httplib::Request&, httplib::Response& res) {
        // Built once: inserting 100,000 names into the case-insensitive map costs the server
        // more than the client spends on the whole answer.
        static const httplib::Headers lines = [] {
            httplib::Headers built;
            for (int i = 0; i < 100000; ++i)
                built.emplace("X-Line-" + std::to_string(i), "v");
            return built;
        }();
        std::this_thread::sleep_for(delay);
        res.headers = lines;
        res.set_content("lines", "text/plain");
    });
    server.Get(R"(/heavy/(\d+))", [delay](const httplib::Request& req, httplib::Response& res) {
        std::this_thread::sleep_for(delay);
        const size_t size = std::stoul(req.matches[1]) << 20;
        res.set_content_provider(
            size, "application/octet-stream", [](size_t, size_t length, httplib::DataSink& sink) {
                static const std::string chunk(kChunkBytes, 'h');
                return sink.write(chunk.data(), std::min(length, chunk.size()));
            });
    });
}

// Binds every host's server to the same port and serves until the parent goes away.
[[noreturn]] void serve(int hosts, const LatencyServerOptions& options, int portPipe) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    std::vector<std::unique_ptr<httplib::Server>> servers;
    int port = 0;
    const std::string& tls = options.tlsCertificates;
    for (int host = 0; host < hosts; ++host) {
        auto& server = servers.emplace_back(
            tls.empty() ? std::make_unique<httplib::Server>()
                        : std::make_unique<httplib::SSLServer>((tls + "/server.pem").c_str(),
                                                               (tls + "/server.key").c_str()));
        if (!server->is_valid())
            break;
        addRoutes(*server, options.delay);
        server->new_task_queue = [] { return new httplib::ThreadPool(kThreadsPerHost); };
        server->set_keep_alive_max_count(1000);
        int listening = -1;
        server->set_socket_options([&listening](int socket) {
            int yes = 1;
            setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
            setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
            listening = socket;
        });
        if (host == 0)
            port = server->bind_to_any_port(hostAddress(host));
        else if (!server->bind_to_port(hostAddress(host), port))
            port = -1;
        if (port < 0)
            break;
        listen(listening, 128);
    }
    if (servers.size() < size_t(hosts))
        port = -1;
    if (write(portPipe, &port, sizeof port) != sizeof port || port < 0)
        _exit(1);
    std::vector<std::thread> threads;
    for (auto& server : servers)
        threads.emplace_back([&server] { server->listen_after_bind(); });
    pause();
    _exit(0);
}

} // namespace

LatencyServer::LatencyServer(const LatencyServerOptions& options)
    : options_(options), addresses_(std::min(options.hosts, kMostAddresses)) {
    int fds[2];
    if (pipe(fds) != 0) {
        std::perror("pipe");
        std::exit(1);
    }
    child_ = fork();
    if (child_ == 0) {
        close(fds[0]);
        serve(addresses_, options_, fds[1]);
    }
    close(fds[1]);
    if (read(fds[0], &port_, sizeof port_) != sizeof port_ || port_ < 0) {
        std::fprintf(stderr, "the latency server could not bind its hosts%s\n",
                     options_.tlsCertificates.empty() ? "" : " or read its certificate and key");
        std::exit(1);
    }
    close(fds[0]);
}

LatencyServer::~LatencyServer() {
    kill(child_, SIGKILL);
    waitpid(child_, nullptr, 0);
}

std::string LatencyServer::url(int host, const std::string& path) const {
    const int address = host % addresses_;
    std::string url = options_.tlsCertificates.empty() ? "http://" : "https://";
    if (options_.names) {
        // The name's number comes round to the same address every kDnsAddresses.
        url += 'h';
        url += std::to_string(2 + address + kDnsAddresses * (host / addresses_));
        url += ".bench.test";
    } else {
        url += hostAddress(address);
    }
    return url + ':' + std::to_string(port_) + path;
}
