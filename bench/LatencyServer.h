#pragma once

#include <chrono>
#include <cstdint>
#include <string>

// A web server of loopback hosts 127.0.0.2, 127.0.0.3, ... on one shared port, run in a
// child process so that its memory stays out of the measured program's figures; it answers
// as AnswerLoop.h says.
//
// With host names, host n is the name h<K>.bench.test that the benchmark DNS server maps onto
// one of the served addresses; with TLS it serves HTTPS with <certificates>/server.pem and
// server.key (as `sandbox.py make-ca` writes them).
struct LatencyServerOptions {
    int hosts = 50;
    std::chrono::milliseconds delay{200};
    bool names = false;
    std::string tlsCertificates; // a folder; empty for plain HTTP
};

class LatencyServer {
  public:
    explicit LatencyServer(const LatencyServerOptions& options);
    // Ends the child process.
    ~LatencyServer();
    LatencyServer(const LatencyServer&) = delete;
    LatencyServer& operator=(const LatencyServer&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.<2 + host>:<port>" followed by path; the host's name instead of its
    // address, and https, as the options say.
    std::string url(int host, const std::string& path) const;
    // How many loopback addresses serve the hosts.
    int addresses() const { return addresses_; }

  private:
    LatencyServerOptions options_;
    int addresses_ = 0;
    int port_ = -1;
    int child_ = -1;
};
