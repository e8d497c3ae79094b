#include "HttpTestServer.h"

#include <QFile>
#include <QProcess>
#include <QSslKey>
#include <QSslServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

namespace vorlan::test {

HttpTestServer::HttpTestServer(const std::function<void(httplib::Server&)>& routes) {
    routes(server_);
    // Threads for every connection a check run keeps open at once, with room to spare.
    server_.new_task_queue = [] { return new httplib::ThreadPool(160); };
    int listeningSocket = -1;
    server_.set_socket_options([&listeningSocket](socket_t socket) {
        int yes = 1;
        ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        // Inherited by accepted connections: pieces of a response go without delay.
        ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
        listeningSocket = socket;
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    ::listen(listeningSocket, 128); // cpp-httplib's backlog of 5 refuses connections under load
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    // stop() only ends a server that is already running.
    for (int i = 0; i < 5000 && !server_.is_running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

HttpTestServer::~HttpTestServer() {
    server_.stop();
    thread_.join();
}

QString HttpTestServer::url(const QString& path) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(path);
}

void addPageRoutes(httplib::Server& routes) {
    const auto page = [](int status, const std::string& body) {
        return [=](const httplib::Request&, httplib::Response& res) {
            res.status = status;
            res.set_content(body, "text/html");
        };
    };
    routes.Get("/ok", page(200, "<html>fine</html>"));
    routes.Get("/missing", page(404, "nothing here"));
    routes.Get("/empty", page(200, ""));
    routes.Get("/bytes", page(200, std::string("a\0b\r\nc\n\xff", 8)));
}

RawHttpServer::RawHttpServer(QByteArray answerBytes, std::chrono::milliseconds byteInterval,
                             std::optional<QSslConfiguration> tls)
    : answer_(std::move(answerBytes)), byteInterval_(byteInterval) {
    if (tls) {
        auto server = std::make_unique<QSslServer>();
        server->setSslConfiguration(*tls);
        server_ = std::move(server);
        scheme_ = QStringLiteral("https");
    } else {
        server_ = std::make_unique<QTcpServer>();
        scheme_ = QStringLiteral("http");
    }
    server_->listen(QHostAddress::LocalHost);
    // A TLS server offers a connection once its handshake has succeeded.
    connect(server_.get(), &QTcpServer::pendingConnectionAvailable, this, [this] {
        while (QTcpSocket* socket = server_->nextPendingConnection()) {
            ++connections_;
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
                socket->readAll();
                if (socket->property("answering").toBool())
                    return;
                socket->setProperty("answering", true);
                answer(socket);
            });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

QString RawHttpServer::url(const QString& path) const {
    return QStringLiteral("%1://127.0.0.1:%2%3").arg(scheme_).arg(server_->serverPort()).arg(path);
}

void RawHttpServer::answer(QTcpSocket* socket) {
    if (answer_.isEmpty())
        return;
    if (!repeated_.isEmpty()) {
        socket->write(answer_);
        const auto refill = [this, socket, sent = std::make_shared<qint64>(0)] {
            for (; socket->bytesToWrite() < (1 << 20) && *sent < (qint64(256) << 20);
                 *sent += repeated_.size())
                socket->write(repeated_);
        };
        refill();
        connect(socket, &QTcpSocket::bytesWritten, socket, refill);
        return;
    }
    if (byteInterval_.count() == 0) {
        socket->write(answer_);
        socket->disconnectFromHost();
        return;
    }
    // The head goes at once; the body follows byte by byte.
    const qsizetype headEnd = answer_.indexOf("\r\n\r\n") + 4;
    socket->write(answer_.first(headEnd));
    auto* trickle = new QTimer(socket);
    connect(trickle, &QTimer::timeout, socket, [socket, trickle, this, sent = headEnd]() mutable {
        socket->write(answer_.mid(sent++, 1));
        if (sent == answer_.size()) {
            trickle->stop();
            socket->disconnectFromHost();
        }
    });
    trickle->start(byteInterval_);
}

QSslConfiguration selfSignedTls() {
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    const QTemporaryDir folder;
    const QString key = folder.filePath(QStringLiteral("key.pem"));
    const QString certificate = folder.filePath(QStringLiteral("cert.pem"));
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                   "-nodes", "-days", "1", "-subj", "/CN=127.0.0.1", "-addext",
                   "subjectAltName=IP:127.0.0.1", "-keyout", key, "-out", certificate});
    if (!openssl.waitForFinished(20000) || openssl.exitCode() != 0)
        return tls;
    QFile keyFile(key);
    QFile certificateFile(certificate);
    if (!keyFile.open(QIODevice::ReadOnly) || !certificateFile.open(QIODevice::ReadOnly))
        return tls;
    tls.setPrivateKey(QSslKey(keyFile.readAll(), QSsl::Ec));
    tls.setLocalCertificate(QSslCertificate(certificateFile.readAll()));
    return tls;
}

} // namespace vorlan::test
