#pragma once

#include <QByteArray>
#include <QList>
#include <QPointer>
#include <QSslConfiguration>
#include <QString>
#include <QTcpServer>
#include <chrono>
#include <functional>
#include <httplib.h>
#include <memory>
#include <optional>
#include <thread>

namespace vorlan::test {

// A cpp-httplib server on 127.0.0.1 with an ephemeral port, serving from a background
// thread with room for many requests at once. Routes are registered before it starts.
// Destroy every network client of a test before its server.
class HttpTestServer {
  public:
    explicit HttpTestServer(const std::function<void(httplib::Server&)>& routes);
    ~HttpTestServer();
    HttpTestServer(const HttpTestServer&) = delete;
    HttpTestServer& operator=(const HttpTestServer&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.1:<port>" followed by path.
    QString url(const QString& path) const;

  private:
    httplib::Server server_;
    int port_ = -1;
    std::thread thread_;
};

// Pages: "/ok" a small page, "/missing" a 404 page, "/missing-cookie" one with two Set-Cookie
// lines, "/empty" an empty 200, "/bytes" bytes of every kind, "/big" a page of 3 MiB.
void addPageRoutes(httplib::Server& routes);

// Redirects: "/hop/<n>" sends on n + 1 times before it reaches "/final", which answers
// "arrived" with the header line "X-Final: yes"; "/loop" sends to itself.
void addRedirectRoutes(httplib::Server& routes);

// A raw TCP server on 127.0.0.1 for answers cpp-httplib cannot give: other status lines,
// no headers at all, no answer, or an answer that trickles in. Runs on the Qt event loop.
// With a TLS configuration it speaks HTTPS.
class RawHttpServer : public QObject {
  public:
    // Once a request arrives, sends the answer and closes the connection; with an
    // interval, sends its head (up to the blank line) at once and then one byte of the body
    // per interval. An empty answer is never sent: the connection stays open and silent.
    explicit RawHttpServer(QByteArray answer,
                           std::chrono::milliseconds byteInterval = std::chrono::milliseconds(0),
                           std::optional<QSslConfiguration> tls = std::nullopt);

    QString url(const QString& path) const;
    int connections() const { return connections_; }
    // After the answer, sends these bytes again and again (up to 256 MiB) instead of closing.
    void repeatAfterAnswer(QByteArray bytes) { repeated_ = std::move(bytes); }

  private:
    void answer(QTcpSocket* socket);

    std::unique_ptr<QTcpServer> server_;
    QString scheme_;
    QByteArray answer_;
    std::chrono::milliseconds byteInterval_;
    QByteArray repeated_;
    int connections_ = 0;
};

// A server's TLS configuration with a fresh self-signed certificate for 127.0.0.1, made
// with the openssl command; its certificate is null when the command failed.
QSslConfiguration selfSignedTls();

} // namespace vorlan::test
