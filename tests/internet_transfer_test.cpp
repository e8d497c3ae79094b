#include "HttpTestServer.h"
#include "InternetTransfer.h"

#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <optional>

using namespace vorlan;
using namespace vorlan::test;
using namespace std::chrono_literals;

TEST(TransferTarget, AddsTheMissingSchemeAndRefusesWhatIsNotHttp) {
    const InternetTransfer inet;
    const struct {
        const char* address;
        const char* url;
        int errorNumber;
    } cases[] = {
        {"ab.cd/ef", "http://ab.cd/ef", 0},
        {"127.0.0.1:8080/x", "http://127.0.0.1:8080/x", 0},
        {"HTTPS://ab.cd/", "https://ab.cd/", 0},
        {"http://ab.cd/a b", "http://ab.cd/a%20b", 0},
        {"", "", transfer_error::kBadUrl},
        {"http://", "", transfer_error::kBadUrl},
        {"http://exa mple.com/", "", transfer_error::kBadUrl},
        {"http://[ab.cd/", "", transfer_error::kBadUrl},
        {"ftp://ab.cd/f.txt", "", transfer_error::kInvalidUrl},
        {"mailto:someone@ab.cd", "", transfer_error::kInvalidUrl},
        {"file:///etc/passwd", "", transfer_error::kInvalidUrl},
        {"data:text/html,ab.cd", "", transfer_error::kInvalidUrl},
        {"javascript:alert(1).x", "", transfer_error::kInvalidUrl},
    };
    for (const auto& c : cases) {
        const TransferTarget target = inet.target(QString::fromUtf8(c.address));
        EXPECT_EQ(target.errorNumber, c.errorNumber) << c.address;
        EXPECT_EQ(target.url.toString(QUrl::FullyEncoded), QString::fromUtf8(c.url)) << c.address;
    }
}

class Transfer : public ::testing::Test {
  protected:
    struct Outcome {
        QByteArray body;
        std::optional<TransferResponse> response;
    };
    // Fetches one address and waits for the end of its transfer.
    Outcome fetch(const QString& address) {
        Outcome outcome;
        QEventLoop loop;
        inet->start(
            inet->target(address).url, [&](QByteArrayView bytes) { outcome.body += bytes; },
            [&](const TransferResponse& response) {
                outcome.response = response;
                loop.quit();
            });
        QTimer::singleShot(20000, &loop, &QEventLoop::quit);
        loop.exec();
        EXPECT_TRUE(outcome.response.has_value());
        if (!outcome.response)
            outcome.response.emplace();
        return outcome;
    }
    void shortenTimeout(std::chrono::milliseconds timeout) {
        TransferSettings settings;
        settings.requestTimeout = timeout;
        inet->applySettings(settings);
    }

    HttpTestServer server{[](httplib::Server& routes) {
        routes.Get("/page", [](const httplib::Request&, httplib::Response& res) {
            res.set_header("Set-Cookie", "a=1");
            res.set_header("Set-Cookie", "b=2");
            res.set_header("X-Note", "kept");
            res.set_content(std::string(3 << 20, 'p'), "text/plain");
        });
        routes.Get("/hop", [](const httplib::Request&, httplib::Response& res) {
            res.set_header("X-Hop", "dropped");
            res.set_redirect("/gone");
        });
        routes.Get("/gone", [](const httplib::Request&, httplib::Response& res) {
            res.status = 410;
            res.set_content("gone", "text/plain");
        });
        routes.Get("/loop", [](const httplib::Request&, httplib::Response& res) {
            res.set_redirect("/loop");
        });
        routes.Get("/to-file", [](const httplib::Request&, httplib::Response& res) {
            res.set_redirect("file:///etc/passwd");
        });
    }};
    std::unique_ptr<InternetTransfer> inet = std::make_unique<InternetTransfer>();

    void TearDown() override { inet.reset(); }
};

TEST_F(Transfer, GivesTheWholeBodyAndTheHeaderLinesOfTheFinalResponse) {
    const Outcome page = fetch(server.url("/page"));
    EXPECT_EQ(page.body.size(), 3 << 20);
    EXPECT_EQ(page.response->errorNumber, 0);
    EXPECT_EQ(page.response->statusCode, 200);
    const QStringList lines = page.response->header.split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines.first(), QStringLiteral("HTTP/1.1 200 OK"));
    EXPECT_TRUE(lines.contains(QStringLiteral("Set-Cookie: a=1")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Set-Cookie: b=2")));
    EXPECT_TRUE(lines.contains(QStringLiteral("X-Note: kept")));

    const Outcome redirected = fetch(server.url("/hop"));
    EXPECT_EQ(redirected.body, "gone");
    EXPECT_EQ(redirected.response->errorNumber, 0);
    EXPECT_EQ(redirected.response->statusCode, 410);
    EXPECT_TRUE(redirected.response->header.startsWith(QStringLiteral("HTTP/1.1 410 Gone\r\n")));
    EXPECT_FALSE(redirected.response->header.contains(QStringLiteral("X-Hop")));
}

TEST_F(Transfer, FailuresGetTheComponentsErrorNumbers) {
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost);
    const quint16 closedPort = closed.serverPort();
    closed.close();
    const RawHttpServer headerless("Hello there\r\n");
    const RawHttpServer silent("");
    const struct {
        QString address;
        int errorNumber;
    } cases[] = {
        {server.url("/loop"), transfer_error::kCannotOpenUrl},
        {server.url("/to-file"), transfer_error::kCannotOpenUrl},
        {QStringLiteral("http://127.0.0.1:%1/").arg(closedPort), transfer_error::kCannotOpenUrl},
        {QStringLiteral("http://nonexistent.invalid/"), transfer_error::kCannotOpenUrl},
        {headerless.url("/"), transfer_error::kDownLevelServer},
        {silent.url("/"), transfer_error::kTimeOut},
    };
    shortenTimeout(1500ms);
    for (const auto& c : cases) {
        const Outcome outcome = fetch(c.address);
        EXPECT_EQ(outcome.response->errorNumber, c.errorNumber) << c.address.toStdString();
    }
}

TEST_F(Transfer, TheDeadlineCountsFromSendingNotFromTheLastByte) {
    // One byte every 30 ms never leaves the connection silent for long, yet the transfer
    // is not done by its deadline.
    const RawHttpServer trickle(
        "HTTP/1.1 200 OK\r\nContent-Length: 2000\r\n\r\n" + QByteArray(2000, 't'), 30ms);
    shortenTimeout(600ms);
    const Outcome outcome = fetch(trickle.url("/"));
    EXPECT_EQ(outcome.response->errorNumber, transfer_error::kTimeOut);
    EXPECT_EQ(outcome.response->statusCode, 200);
    EXPECT_TRUE(outcome.response->header.startsWith(QStringLiteral("HTTP/1.1 200 OK")));
}

TEST_F(Transfer, AbortingEndsEveryRequestWithoutCallingItsHandlers) {
    const RawHttpServer silent("");
    int handlersCalled = 0;
    for (int i = 0; i < 3; ++i)
        inet->start(
            inet->target(silent.url("/")).url, [&](QByteArrayView) { ++handlersCalled; },
            [&](const TransferResponse&) { ++handlersCalled; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return silent.connections() == 3; }, 5000));
    inet->abortAll();
    EXPECT_EQ(inet->activeTransfers(), 0);
    QTest::qWait(100);
    EXPECT_EQ(handlersCalled, 0);
}
