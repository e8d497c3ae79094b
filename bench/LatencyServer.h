#pragma once

#include <chrono>
#include <cstdint>
#include <string>

// A web server of loopback hosts 127.0.0.2, 127.0.0.3, ... on one shared port, run in a
// child process so that its memory and threads stay out of the measured program. Every
// request waits the given delay, then "/page/<n>" answers a small HTML page and
// "/heavy/<megabytes>" streams a page of that weight; "/many-headers" answers with 100,000 header
// lines.
class LatencyServer {
  public:
    LatencyServer(int hosts, std::chrono::milliseconds delay);
    // Ends the child process.
    ~LatencyServer();
    LatencyServer(const LatencyServer&) = delete;
    LatencyServer& operator=(const LatencyServer&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.<2 + host>:<port>" followed by path.
    std::string url(int host, const std::string& path) const;

  private:
    int port_ = -1;
    int child_ = -1;
};
