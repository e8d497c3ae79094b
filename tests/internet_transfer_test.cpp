#include "HttpTestServer.h"
#include "ProcessMemory.h"
#include "ScopedEnvironment.h"
#include "ShortcutSet.h"
#include "platform/InternetTransfer.h"
#include "platform/TransferError.h"

#include <QProcess>
#include <QSslKey>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <gtest/gtest.h>

using namespace vorlan;
using namespace vorlan::test;
using namespace std::chrono_literals;

namespace {

struct Fetched {
    TransferResponse response;
    QByteArray body;
};

Fetched fetch(InternetTransfer& inet, const QString& url) {
    Fetched fetched;
    bool done = false;
    inet.start(
        QUrl(url), [&](QByteArrayView bytes) { fetched.body += bytes; },
        [&](const TransferResponse& response) {
            fetched.response = response;
            done = true;
        });
    EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, 60000)) << url.toStdString();
    return fetched;
}

} // namespace

TEST(TransferTarget, AddsTheMissingSchemeAndRefusesWhatIsNotHttp) {
    const InternetTransfer inet;
    const struct {
        const char* address;
        const char* url;
        int errorNumber;
    } cases[] = {
        {"ab.cd/ef", "http://ab.cd/ef", 0},
        {"HTTPS://ab.cd/", "https://ab.cd/", 0},
        {"http://exa mple.com/", "", transfer_error::kBadUrl.number},
        {"ftp://ab.cd/f.txt", "", transfer_error::kInvalidUrl.number},
        {"file:///etc/passwd", "", transfer_error::kInvalidUrl.number},
    };
    for (const auto& c : cases) {
        const TransferTarget target = inet.target(QString::fromUtf8(c.address));
        EXPECT_EQ(target.errorNumber, c.errorNumber) << c.address;
        EXPECT_EQ(target.url.toString(QUrl::FullyEncoded), QString::fromUtf8(c.url)) << c.address;
    }
}

TEST(InternetTransfer, AnEndlessHeaderEndsWithinItsBound) {
    RawHttpServer server("HTTP/1.1 200 OK\r\n");
    server.repeatAfterAnswer("X-Again: " + QByteArray(200, 'a') + "\r\n");
    InternetTransfer inet;
    const qint64 residentBefore = statusKb("VmRSS");
    resetPeakMemory();
    const Fetched fetched = fetch(inet, server.url("/"));
    EXPECT_EQ(fetched.response.errorNumber, transfer_error::kCannotOpenUrl.number);
    EXPECT_EQ(fetched.response.header, QString()); // no header arrived whole
    if (kMemoryMeasurable) {
        EXPECT_LT(statusKb("VmHWM") - residentBefore, 10 << 10);
    }
}

// Each answer gives its error number and its header text exactly as sent, over one connection.
TEST(InternetTransfer, GivesTheHeaderAsTheServerSentIt) {
    const struct {
        const char* answer;
        int errorNumber;
        const char* header;
    } cases[] = {
        {"HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<html/>", 0,
         "HTTP/1.0 200 OK\r\nContent-Type: text/html"},
        {"HTTP/1.1 200 Fine Indeed\r\nX-Multi: one\r\nX-Other: x\r\nX-Multi: two\r\n"
         "Content-Length: 2\r\n\r\nok",
         0,
         "HTTP/1.1 200 Fine Indeed\r\nX-Multi: one\r\nX-Other: x\r\nX-Multi: two\r\n"
         "Content-Length: 2"},
        {"Hello there\r\n", transfer_error::kDownLevelServer.number, ""},
        {"HTTP/1.1 301 Moved\r\nLocation: file:///etc/passwd\r\n\r\n",
         transfer_error::kCannotOpenUrl.number, ""},
    };
    InternetTransfer inet;
    for (const auto& c : cases) {
        const RawHttpServer server(c.answer);
        const Fetched fetched = fetch(inet, server.url("/"));
        EXPECT_EQ(fetched.response.errorNumber, c.errorNumber) << c.answer;
        EXPECT_EQ(fetched.response.header, QString::fromUtf8(c.header)) << c.answer;
        EXPECT_EQ(server.connections(), 1) << c.answer;
    }
}

// Each redirect followed is given with its status and the address it led to.
TEST(InternetTransfer, GivesTheRedirectHops) {
    HttpTestServer server([](httplib::Server& routes) {
        routes.Get("/moved", [](const httplib::Request&, httplib::Response& res) {
            res.set_redirect("/found", 301);
        });
        routes.Get("/found", [](const httplib::Request&, httplib::Response& res) {
            res.set_redirect("here?x=1", 302);
        });
        routes.Get("/here", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("here", "text/html");
        });
    });
    InternetTransfer inet;
    const Fetched fetched = fetch(inet, server.url("/moved"));
    const QList<RedirectHop> hops = {{301, QUrl(server.url("/found"))},
                                     {302, QUrl(server.url("/here?x=1"))}};
    EXPECT_EQ(fetched.response.hops, hops);
    EXPECT_EQ(fetched.response.finalUrl, hops.last().location);
}

// A 429 or 503 with a short Retry-After is asked once more, and that answer is given.
TEST(InternetTransfer, AsksABusyServerOnceMoreAfterItsWait) {
    std::atomic<int> requests{0};
    std::string retryAfter;
    int busyStatus = 0;
    HttpTestServer server([&](httplib::Server& routes) {
        routes.Get("/", [&](const httplib::Request&, httplib::Response& res) {
            if (requests++ == 0) {
                res.status = busyStatus;
                // "date": an HTTP date two seconds from the answer on.
                res.set_header("Retry-After",
                               retryAfter != "date"
                                   ? retryAfter
                                   : QDateTime::currentDateTimeUtc()
                                         .addSecs(2)
                                         .toString(u"ddd, dd MMM yyyy hh:mm:ss 'GMT'")
                                         .toStdString());
                res.set_content("busy", "text/plain");
            } else {
                res.set_content("page", "text/html");
            }
        });
    });
    const struct {
        int status;
        std::string retryAfter;
        bool askedAgain;
    } cases[] = {{429, "1", true}, {503, "date", true}, {429, "600", false}, {503, "abc", false}};
    InternetTransfer inet;
    for (const auto& c : cases) {
        requests = 0;
        busyStatus = c.status;
        retryAfter = c.retryAfter;
        const Fetched fetched = fetch(inet, server.url("/"));
        EXPECT_EQ(requests, c.askedAgain ? 2 : 1) << c.retryAfter;
        EXPECT_EQ(fetched.response.statusCode, c.askedAgain ? 200 : c.status) << c.retryAfter;
        EXPECT_EQ(fetched.body, c.askedAgain ? "page" : "busy") << c.retryAfter;
    }
}

// An untrusted certificate is refused; a trusted server that offers HTTP/2 gets it.
TEST(InternetTransfer, VerifiesTlsAndSpeaksHttp2WhereOffered) {
    const QSslConfiguration tls = selfSignedTls();
    ASSERT_FALSE(tls.localCertificate().isNull()) << "the openssl command failed";
    {
        const RawHttpServer untrusted("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok", 0ms, tls);
        InternetTransfer inet;
        EXPECT_EQ(fetch(inet, untrusted.url("/")).response.errorNumber,
                  transfer_error::kCannotOpenUrl.number);
    }
    const QString nghttpd = QStandardPaths::findExecutable(QStringLiteral("nghttpd"));
    if (nghttpd.isEmpty())
        GTEST_SKIP() << "nghttpd (Debian's nghttp2-server) is not installed";
    const QTemporaryDir folder;
    const ShortcutSet files(folder.path());
    const QString key = files.file("key.pem", tls.privateKey().toPem());
    const QString certificate = files.file("cert.pem", tls.localCertificate().toPem());
    files.file("index.html", "<html>two</html>");
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    const quint16 port = probe.serverPort();
    probe.close();
    QProcess server;
    server.start(nghttpd,
                 {"-a", "127.0.0.1", "-d", folder.path(), QString::number(port), key, certificate});
    ASSERT_TRUE(server.waitForStarted());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, port);
            return socket.waitForConnected(100);
        },
        10000));
    const ScopedEnvironment trust{{"SSL_CERT_FILE", QFile::encodeName(certificate)}};
    InternetTransfer inet;
    const Fetched fetched =
        fetch(inet, QStringLiteral("https://127.0.0.1:%1/index.html").arg(port));
    server.kill();
    server.waitForFinished();
    EXPECT_EQ(fetched.response.errorNumber, 0);
    EXPECT_TRUE(fetched.response.header.startsWith(QStringLiteral("HTTP/2 200")))
        << fetched.response.header.toStdString();
    EXPECT_EQ(fetched.body, "<html>two</html>");
}
