#include "LatencyServer.h"

#include "AnswerLoop.h"

#include <arpa/inet.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <netinet/in.h>
#include <openssl/ssl.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// The benchmark DNS server maps h<K>.bench.test onto 127.0.0.<K>, wrapping round after 253.
constexpr int kDnsAddresses = 253;
// The served addresses are 127.0.0.2 to 127.0.0.251.
constexpr int kMostAddresses = 250;

std::string hostAddress(int host) {
    return "127.0.0." + std::to_string(2 + host);
}

SSL_CTX* serverTls(const std::string& folder) {
    if (folder.empty())
        return nullptr;
    SSL_CTX* context = SSL_CTX_new(TLS_server_method());
    SSL_CTX_set_mode(context, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
    if (SSL_CTX_use_certificate_chain_file(context, (folder + "/server.pem").c_str()) != 1 ||
        SSL_CTX_use_PrivateKey_file(context, (folder + "/server.key").c_str(), SSL_FILETYPE_PEM) !=
            1)
        return nullptr;
    return context;
}

// Binds host's address on port (any port when 0); the listening socket, or -1.
int listenOn(int host, int& port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    int yes = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(uint16_t(port));
    inet_pton(AF_INET, hostAddress(host).c_str(), &address.sin_addr);
    socklen_t length = sizeof address;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 || listen(fd, 4096) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        close(fd);
        return -1;
    }
    port = ntohs(address.sin_port);
    return fd;
}

// Binds every host's address to the same port and serves until the parent goes away.
[[noreturn]] void serve(int hosts, const LatencyServerOptions& options, int portPipe) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    signal(SIGPIPE, SIG_IGN);
    rlimit files{};
    getrlimit(RLIMIT_NOFILE, &files);
    files.rlim_cur = files.rlim_max;
    setrlimit(RLIMIT_NOFILE, &files);
    SSL_CTX* tls = serverTls(options.tlsCertificates);
    std::vector<int> listeners;
    int port = 0;
    if (tls || options.tlsCertificates.empty()) {
        for (int host = 0; host < hosts && port >= 0; ++host) {
            const int listening = listenOn(host, port);
            if (listening < 0)
                port = -1;
            else
                listeners.push_back(listening);
        }
    } else {
        port = -1;
    }
    if (write(portPipe, &port, sizeof port) != sizeof port || port <= 0)
        _exit(1);
    close(portPipe);
    answerForever(listeners, options.delay, tls);
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
