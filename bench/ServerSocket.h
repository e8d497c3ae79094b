#pragma once

#include <cstddef>
#include <openssl/ssl.h>
#include <string>
#include <sys/types.h>

// An accepted, non-blocking socket of the latency server: plain, or TLS when given a context
// (the handshake runs inside the first reads and writes).
class ServerSocket {
  public:
    enum class Io { Done, Again, Closed };

    ServerSocket(int fd, SSL_CTX* tls);
    ~ServerSocket();
    ServerSocket(const ServerSocket&) = delete;
    ServerSocket& operator=(const ServerSocket&) = delete;

    // Appends what has arrived to `into`; Again once nothing more can be read now.
    Io read(std::string& into);
    // Writes from data[written, size), advancing `written`; Again when the socket is full.
    Io write(const char* data, size_t size, size_t& written);
    // Whether the last Again waits for the socket to take data rather than give some.
    bool waitsToWrite() const { return waitsToWrite_; }
    int fd() const { return fd_; }

  private:
    // What a read or write that moved no byte means: Again when the socket (or TLS) waits,
    // Closed on an end or an error.
    Io stopped(ssize_t result, bool writing);

    int fd_;
    SSL* ssl_ = nullptr;
    bool waitsToWrite_ = false;
};
