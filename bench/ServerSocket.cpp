#include "ServerSocket.h"

#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>

ServerSocket::ServerSocket(int fd, SSL_CTX* tls) : fd_(fd) {
    if (tls) {
        ssl_ = SSL_new(tls);
        SSL_set_fd(ssl_, fd);
        SSL_set_accept_state(ssl_);
    }
}

ServerSocket::~ServerSocket() {
    SSL_free(ssl_);
    close(fd_);
}

ServerSocket::Io ServerSocket::stopped(ssize_t result, bool writing) {
    if (ssl_) {
        switch (SSL_get_error(ssl_, int(result))) {
        case SSL_ERROR_WANT_READ:
            waitsToWrite_ = false;
            return Io::Again;
        case SSL_ERROR_WANT_WRITE:
            waitsToWrite_ = true;
            return Io::Again;
        default:
            return Io::Closed;
        }
    }
    if (result < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        waitsToWrite_ = writing;
        return Io::Again;
    }
    return Io::Closed;
}

ServerSocket::Io ServerSocket::read(std::string& into) {
    char buffer[16384];
    for (;;) {
        const ssize_t got =
            ssl_ ? SSL_read(ssl_, buffer, sizeof buffer) : recv(fd_, buffer, sizeof buffer, 0);
        if (got > 0) {
            into.append(buffer, size_t(got));
            continue;
        }
        return stopped(got, false);
    }
}

ServerSocket::Io ServerSocket::write(const char* data, size_t size, size_t& written) {
    while (written < size) {
        const size_t length = std::min<size_t>(size - written, 1 << 20);
        const ssize_t sent = ssl_ ? SSL_write(ssl_, data + written, int(length))
                                  : send(fd_, data + written, length, MSG_NOSIGNAL);
        if (sent > 0) {
            written += size_t(sent);
            continue;
        }
        return stopped(sent, true);
    }
    return Io::Done;
}
