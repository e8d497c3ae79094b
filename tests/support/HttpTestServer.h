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

// A threaded cpp-httplib server on 127.0.0.1; destroy every client before it.
class HttpTestServer {
  public:
    explicit HttpTestServer(const std::function<void(httplib::Server&)>& routes);
    ~HttpTestServer();
    HttpTestServer(const HttpTestServer&) = delete;
    HttpTestServer& operator=(const HttpTestServer&) = delete;

    // "http://127.0.0.1:<port>" followed by path.
    QString url(const QString& path) const;

  private:
    httplib::Server server_;
    int port_ = -1;
    std::thread thread_;
};

// "/ok" a small page, "/missing" a 404 page, "/empty" an empty 200, "/bytes" bytes of every kind.
void addPageRoutes(httplib::Server& routes);

// A raw TCP (or TLS) server on the Qt event loop, for answers cpp-httplib cannot give.
class RawHttpServer : public QObject {
  public:
    // Answers a request and closes; with an interval, sends the body a byte at a time. An
    // empty answer leaves the connection open and silent.
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

// A fresh self-signed certificate for 127.0.0.1 from the openssl command; null on failure.
QSslConfiguration selfSignedTls();

} // namespace vorlan::test
