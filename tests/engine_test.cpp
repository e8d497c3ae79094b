#include "EngineFixture.h"
#include "HttpTestServer.h"
#include "ProcessMemory.h"
#include "ScopedEnvironment.h"
#include "linkcheck/engine/FetchScheduler.h"
#include "linkcheck/engine/StatusText.h"
#include "platform/TransferError.h"
#include "platform/WebAddress.h"
#include "shortcuts/ShortcutReader.h"

#include <QDirIterator>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTest>
#include <QTimer>
#include <atomic>

using namespace vorlan;
using namespace vorlan::test;
using namespace std::chrono_literals;

namespace {

qint64 folderBytes(const QString& folder) {
    qint64 bytes = 0;
    for (QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
         it.hasNext();)
        bytes += it.nextFileInfo().size();
    return bytes;
}

// A body that goes on until the client stops reading (at most 1 GiB).
void endlessBody(httplib::Response& res, char fill) {
    res.set_chunked_content_provider(
        "application/octet-stream", [fill](size_t offset, httplib::DataSink& sink) {
            const std::string chunk(64 << 10, fill);
            return offset < (size_t(1) << 30) && sink.write(chunk.data(), chunk.size());
        });
}

void noteMost(std::atomic<int>& most, int now) {
    for (int seen = most; now > seen && !most.compare_exchange_weak(seen, now);)
        ;
}

// An HTTP client that answers each request when and how the test says.
struct ScriptedClient : HttpClient {
    TransferTarget target(const QString& address) const override {
        return webTarget(address, QStringLiteral("http"));
    }
    TransferId start(const QUrl&, DataHandler onData, DoneHandler onDone) override {
        requests.append({std::move(onData), std::move(onDone)});
        return requests.size();
    }
    void abort(TransferId) override {}
    void abortAll() override {}
    void setTooManyRequestsHandler(TooManyRequestsHandler) override {}

    QList<std::pair<DataHandler, DoneHandler>> requests;
};

} // namespace

// Each row waits for the rows before it, whatever order the answers come in, and takes its
// status text from its own answer.
TEST_F(EngineFixture, RowsKeepTheirOrderWhateverOrderTheAnswersComeIn) {
    const struct {
        int statusCode;
        int errorNumber;
        QByteArray body;
        const char* status;
    } answers[] = {
        {200, 0, "", "0 "},
        {0, transfer_error::kTimeOut.number, "", "35761 Time out"},
        {302, 0, "moved", "POOR"},
        {204, 0, "page", "GOOD"},
    };
    QList<CheckItem> items;
    for (int i = 0; i < 4; ++i)
        items.append(shortcuts.item(QStringLiteral("s%1.url").arg(i),
                                    QStringLiteral("http://127.0.0.%1/").arg(i + 1),
                                    answers[i].status));
    QStringList expected;
    ScriptedClient client;
    (new CheckRun(sink, client, readShortcutAddress, pathsOf(items, expected), limits))->start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return client.requests.size() == 4; }, 10000));
    for (int i = 3; i >= 0; --i) {
        EXPECT_TRUE(sink.rows.isEmpty()) << i;
        TransferResponse response;
        response.errorNumber = answers[i].errorNumber;
        response.statusCode = answers[i].statusCode;
        client.requests[i].first(answers[i].body);
        client.requests[i].second(response);
        QCoreApplication::processEvents();
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return sink.ended; }, 10000));
    EXPECT_EQ(rows(), expected);
}

TEST(FetchScheduler, StartsTheHostThatHoldsTheRunBackThenIdleConnectionsThenTheEarliest) {
    FetchScheduler scheduler(4, 2);
    const char* hosts[] = {"a", "b", "b", "b", "c", "a", "b"};
    for (int item = 0; item < 7; ++item)
        scheduler.enqueue(item, QString::fromLatin1(hosts[item]));
    EXPECT_EQ(scheduler.takeNext(), 1);            // b needs two rounds of two, as many as the run
    EXPECT_EQ(scheduler.takeNext(), 2);            // and still does
    EXPECT_EQ(scheduler.takeNext(), 0);            // b is full; a and c have nothing in flight
    EXPECT_EQ(scheduler.takeNext(), 4);            // c has nothing in flight, a has
    EXPECT_EQ(scheduler.takeNext(), std::nullopt); // the run is full
    scheduler.release(QStringLiteral("b"));
    scheduler.release(QStringLiteral("b")); // item 2 stopped: it waits again, before item 3
    scheduler.enqueue(2, QStringLiteral("b"));
    EXPECT_EQ(scheduler.takeNext(1), std::nullopt);
    EXPECT_EQ(scheduler.takeNext(2), 2);
    EXPECT_EQ(scheduler.takeNext(), 3); // b and a are busy, with one round left: the earliest
    EXPECT_EQ(scheduler.takeNext(), std::nullopt);
}

TEST(FetchScheduler, PrefersAHostWhoseConnectionIsIdleToAnEarlierNewOne) {
    FetchScheduler scheduler(1, 2);
    const char* hosts[] = {"a", "b", "c", "b"};
    for (int item = 0; item < 4; ++item)
        scheduler.enqueue(item, QString::fromLatin1(hosts[item]));
    EXPECT_EQ(scheduler.takeNext(), 0);
    scheduler.release(QStringLiteral("a"));
    EXPECT_EQ(scheduler.takeNext(), 1);
    scheduler.release(QStringLiteral("b"));
    EXPECT_EQ(scheduler.takeNext(), 3); // b's connection is open; c has none yet
    scheduler.release(QStringLiteral("b"));
    EXPECT_EQ(scheduler.takeNext(), 2);
}

class EngineRun : public EngineFixture {
  protected:
    std::atomic<int> running{0}, mostRunning{0}, endlessRequests{0};
    // "/polite/0" answers 429 once; from its retry on, how many polite requests ran at once.
    std::atomic<int> politeAnswers{0}, politeRunning{0}, mostPoliteAfterRetry{-1};
    HttpTestServer server{[this](httplib::Server& routes) {
        addPageRoutes(routes);
        // "/hop/<n>" sends on n + 1 times to "/final".
        routes.Get(R"(/hop/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
            const int left = std::stoi(req.matches[1]);
            res.set_redirect(left == 0 ? "/final" : "/hop/" + std::to_string(left - 1));
        });
        routes.Get("/final", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("arrived", "text/html");
        });
        routes.Get("/endless", [this](const httplib::Request&, httplib::Response& res) {
            ++endlessRequests;
            endlessBody(res, 'e');
        });
        routes.Get("/endless-redirect", [](const httplib::Request&, httplib::Response& res) {
            res.set_redirect("/final");
            endlessBody(res, 'r');
        });
        routes.Get(R"(/polite/(\d+))", [this](const httplib::Request& req, httplib::Response& res) {
            const bool first = req.matches[1] == "0";
            if (first && politeAnswers++ == 0) {
                res.status = 429;
                res.set_header("Retry-After", "1");
                return;
            }
            const int now = ++politeRunning;
            if (first || mostPoliteAfterRetry >= 0)
                noteMost(mostPoliteAfterRetry, now);
            std::this_thread::sleep_for(20ms);
            --politeRunning;
            res.set_content("page", "text/html");
        });
        routes.Get(
            R"(/delay/(\d+)/(\w+))", [this](const httplib::Request& req, httplib::Response& res) {
                noteMost(mostRunning, ++running);
                std::this_thread::sleep_for(std::chrono::milliseconds(std::stoi(req.matches[1])));
                --running;
                res.status = req.matches[2] == "missing" ? 404 : 200;
                res.set_content(req.matches[2] == "empty" ? "" : "page", "text/html");
            });
    }};
};

TEST_F(EngineRun, EachRowComesFromItsOwnTransfer) {
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost);
    const QString refused = QStringLiteral("http://127.0.0.1:%1/").arg(closed.serverPort());
    closed.close();
    const RawHttpServer headerless("Hello there\r\n");
    const RawHttpServer silent("");
    // Never silent for long, yet not complete by the deadline.
    const RawHttpServer trickle(
        "HTTP/1.1 200 OK\r\nContent-Length: 2000\r\n\r\n" + QByteArray(2000, 't'), 30ms);
    const QStringList expected = check({
        {shortcuts.file("web/scan-fails.url", "URL=ab.\t\r\n"), " | 35752 Bad URL"},
        shortcuts.item("ok.url", server.url("/ok"), "GOOD"),
        {folder.path() + "/web/gone.url", " | 35752 Bad URL"},
        shortcuts.item("hops.url", server.url("/hop/3"), "GOOD"),
        shortcuts.item("empty.url", server.url("/empty"), "0 "),
        shortcuts.item("refused.url", refused, "35751 Cannot open URL"),
        shortcuts.item("ftp.url", "ftp://127.0.0.1/f.txt", "35771 Invalid URL"),
        shortcuts.item("headerless.url", headerless.url("/"), "35917 Down level server"),
        shortcuts.item("trickle.url", trickle.url("/"), "35761 Time out"),
        shortcuts.item("silent.url", silent.url("/"), "35761 Time out"),
    });
    EXPECT_EQ(rows(), expected);
    for (int failed : {2, 5, 9})
        EXPECT_EQ(sink.rows[failed].header, QString()) << failed; // nothing of the item before
    EXPECT_TRUE(sink.rows[8].header.startsWith(QStringLiteral("HTTP/1.1 200 OK")));
}

TEST_F(EngineRun, ManyRequestsAtOnceGiveTheRowsOfOneAtATime) {
    QList<CheckItem> items;
    const char* kinds[] = {"ok", "missing", "empty"};
    const char* statuses[] = {"GOOD", "POOR", "0 "};
    for (int i = 0; i < 150; ++i) {
        const QString name = QStringLiteral("s%1.url").arg(i);
        const int delay = QRandomGenerator::global()->bounded(12);
        items.append(
            i % 50 == 7
                ? CheckItem{folder.path() + "/web/absent-" + name, " | 35752 Bad URL"}
                : shortcuts.item(
                      name, server.url(QStringLiteral("/delay/%1/%2").arg(delay).arg(kinds[i % 3])),
                      statuses[i % 3]));
    }
    for (const RunLimits& runLimits : {RunLimits{1, 1}, RunLimits{}}) {
        limits = runLimits;
        const QStringList expected = check(items);
        EXPECT_EQ(rows(), expected);
        EXPECT_LE(mostRunning, limits.requestsPerHost == 1 ? 1 : 6); // all on one host
    }
    EXPECT_GT(mostRunning, 1);
}

TEST_F(EngineRun, AHostThatAnswers429GetsOneRequestAtATime) {
    const QStringList expected =
        check(shortcuts.numberedItems(20, "p%1.url", server.url("/polite/%1"), "GOOD"));
    EXPECT_EQ(rows(), expected); // the first row is the second answer's
    EXPECT_EQ(mostPoliteAfterRetry, 1);
}

// Every hostile answer ends in a row of its own, with bounded memory and temporary disk.
class HostileServer : public EngineRun {
  protected:
    void SetUp() override {
        settings.requestTimeout = 30s; // every answer but a trickle ends by itself
        QDir().mkpath(spillFolder);
        QObject::connect(&spillMeter, &QTimer::timeout,
                         [this] { mostSpilled = std::max(mostSpilled, folderBytes(spillFolder)); });
        spillMeter.start(5);
    }
    void TearDown() override {
        EXPECT_EQ(folderBytes(spillFolder), 0);
        EngineRun::TearDown();
    }

    const QString spillFolder = folder.path() + "/spill"; // pages spilled to disk go here
    const ScopedEnvironment temp{{"TMPDIR", QFile::encodeName(spillFolder)}};
    QTimer spillMeter;
    qint64 mostSpilled = 0;
};

TEST_F(HostileServer, EachAnswerEndsInADefinedRow) {
    const RawHttpServer longHeaderLine("HTTP/1.1 200 OK\r\nX-Long: " + QByteArray(1 << 20, 'l') +
                                       "\r\nContent-Length: 4\r\n\r\nlong");
    const RawHttpServer closesMidHeader("HTTP/1.1 200 OK\r\nContent-Ty");
    const RawHttpServer badChunkSize(
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nZZ\r\nhello\r\n0\r\n\r\n");
    // 64 MiB of zeros in a zlib stream of 64 KiB.
    const RawHttpServer bomb("HTTP/1.1 200 OK\r\nContent-Encoding: deflate\r\n\r\n" +
                             qCompress(QByteArray(64 << 20, '\0'), 9).mid(4));
    const QList<CheckItem> items = {
        // Cut at the largest page and kept as received.
        shortcuts.item("endless.url", server.url("/endless"), "GOOD"),
        shortcuts.item("bomb.url", bomb.url("/"), "GOOD"),
        shortcuts.item("20 hops.url", server.url("/hop/19"), "GOOD"),
        shortcuts.item("21 hops.url", server.url("/hop/20"), "35751 Cannot open URL"),
        shortcuts.item("endless redirect.url", server.url("/endless-redirect"), "GOOD"),
        shortcuts.item("long header line.url", longHeaderLine.url("/"), "35751 Cannot open URL"),
        shortcuts.item("closes mid-header.url", closesMidHeader.url("/"), "35751 Cannot open URL"),
        // The body breaks off: the header stands, the page is empty.
        shortcuts.item("bad chunk size.url", badChunkSize.url("/"), "0 "),
        shortcuts.item("bytes.url", server.url("/bytes"), "GOOD"),
    };
    sink.pagesFolder = folder.path() + "/pages";
    QDir().mkpath(sink.pagesFolder);
    const qint64 residentBefore = statusKb("VmRSS");
    resetPeakMemory();
    const QStringList expected = check(items);
    EXPECT_EQ(rows(), expected);
    if (kMemoryMeasurable) {
        EXPECT_LT(statusKb("VmHWM") - residentBefore, 48 << 10);
    }
    // The two largest pages may be on their way at once; nothing else is kept.
    EXPECT_LE(mostSpilled, 2 * kLargestBody + (1 << 20));
    const QString pages = sink.pagesFolder + u'/';
    EXPECT_EQ(fileBytes(pages + "endless.htm"), QByteArray(kLargestBody, 'e') + "\r\n");
    EXPECT_EQ(fileBytes(pages + "bomb.htm"), QByteArray(kLargestBody, '\0') + "\r\n");
    EXPECT_EQ(fileBytes(pages + "endless redirect.htm"), "arrived\r\n");
    EXPECT_EQ(fileBytes(pages + "bytes.htm"), QByteArray("a\0b\r\nc\n\xff\r\n", 10));
    EXPECT_TRUE(sink.rows[7].header.startsWith(QStringLiteral("HTTP/1.1 200 OK")));
    EXPECT_TRUE(sink.saveErrors.isEmpty());
}

// Rows held back by a slow first row wait within the page budget, each sent at most twice.
TEST_F(HostileServer, PagesWaitingForTheirRowStayWithinTheBudget) {
    QList<CheckItem> items = {shortcuts.item("slow.url", server.url("/delay/500/ok"), "GOOD")};
    for (int i = 0; i < 4; ++i)
        items.append(
            shortcuts.item(QStringLiteral("endless%1.url").arg(i), server.url("/endless"), "GOOD"));
    limits.pageBytesHeld = 4 << 20;
    const QStringList expected = check(items);
    EXPECT_EQ(rows(), expected);
    EXPECT_LE(mostSpilled, (4 << 20) + kLargestBody + (1 << 20));
    EXPECT_LE(endlessRequests, 8);
}
