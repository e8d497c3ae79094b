#include "EngineFixture.h"
#include "FetchScheduler.h"
#include "HttpTestServer.h"
#include "PageBody.h"
#include "PageWriter.h"
#include "ProcessMemory.h"
#include "ReportWriter.h"
#include "StatusText.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <zlib.h>

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

// A gzip stream of the given number of zero bytes, a thousandth of their size.
QByteArray gzippedZeros(qint64 zeros) {
    QByteArray in(zeros, '\0');
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY);
    QByteArray out(qsizetype(deflateBound(&stream, uLong(zeros))), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(in.data());
    stream.avail_in = uInt(zeros);
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return out;
}

// A body that goes on until the client stops reading (at most 1 GiB).
void endlessBody(httplib::Response& res, char fill) {
    res.set_chunked_content_provider(
        "application/octet-stream", [fill](size_t offset, httplib::DataSink& sink) {
            const std::string chunk(64 << 10, fill);
            return offset < (size_t(1) << 30) && sink.write(chunk.data(), chunk.size());
        });
}

} // namespace

TEST(StatusText, ComesFromTheStatusCodeOrFromTheErrorNumber) {
    const struct {
        bool pageEmpty;
        int statusCode;
        int errorNumber;
        const char* text;
    } cases[] = {
        // What the transfers of a run never give: other statuses, and numbers of no transfer.
        {false, 204, 0, "GOOD"},
        {false, 302, 0, "POOR"},
        {false, 500, 0, "POOR"},
        {true, 0, 35768, "35768 Time out"},
        {true, 0, 35794, "35794 Item not found"},
        {true, 0, 9, "9 "},
        {true, 0, -5, "-5 "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(statusText(c.pageEmpty, c.statusCode, c.errorNumber), QString::fromUtf8(c.text));
}

TEST(FetchScheduler, StartsTheEarliestRequestWithinBothLimits) {
    FetchScheduler scheduler(3, 2);
    const char* hosts[] = {"a", "a", "a", "b", "c", "b", "a"};
    for (int item = 0; item < 7; ++item)
        scheduler.enqueue(item, QString::fromLatin1(hosts[item]));
    EXPECT_EQ(scheduler.takeNext(), 0);
    EXPECT_EQ(scheduler.takeNext(), 1);
    EXPECT_EQ(scheduler.takeNext(), 3);            // host a is full
    EXPECT_EQ(scheduler.takeNext(), std::nullopt); // the run is full
    scheduler.release(QStringLiteral("b"));
    EXPECT_EQ(scheduler.takeNext(), 4);
    scheduler.release(QStringLiteral("a"));
    EXPECT_EQ(scheduler.takeNext(), 2);
    EXPECT_EQ(scheduler.inFlight(), 3);
    scheduler.release(QStringLiteral("a")); // item 2 stopped: it waits again, before item 6
    scheduler.enqueue(2, QStringLiteral("a"));
    EXPECT_EQ(scheduler.takeNext(1), std::nullopt);
    EXPECT_EQ(scheduler.takeNext(), 2);
}

TEST(PageBody, LargeBodiesAndBodiesBeyondTheBudgetLeaveMemory) {
    const auto openFiles = [] { return QDir(QStringLiteral("/proc/self/fd")).count(); };
    const qsizetype openBefore = openFiles();
    const QByteArray chunk(256 << 10, 'x');
    std::vector<std::unique_ptr<PageBody>> bodies;
    for (int i = 0; i < 200; ++i) {
        auto& body = bodies.emplace_back(std::make_unique<PageBody>());
        for (int part = 0; part < 3; ++part)
            body->append(chunk);
        body->seal();
        EXPECT_LE(PageBody::bytesInMemory(), PageBody::kMemoryBudget);
    }
    // Sealed bodies in files keep no file open: a run may hold thousands.
    EXPECT_LT(openFiles() - openBefore, 5);
    EXPECT_EQ(bodies.back()->open()->readAll(), chunk + chunk + chunk);
    PageBody large;
    const QByteArray content = QByteArray(PageBody::kLargestInMemory, '\0') + "end";
    large.append(content);
    large.seal();
    const QTemporaryDir folder;
    EXPECT_FALSE(large.moveFileTo(folder.filePath("missing/page.htm"), "\r\n"));
    EXPECT_EQ(large.open()->readAll(), content); // untouched
    ASSERT_TRUE(large.moveFileTo(folder.filePath("page.htm"), "\r\n"));
    EXPECT_TRUE(large.isEmpty());
    QFile moved(folder.filePath("page.htm"));
    ASSERT_TRUE(moved.open(QIODevice::ReadOnly));
    EXPECT_EQ(moved.readAll(), content + "\r\n");
    bodies.clear();
    EXPECT_EQ(PageBody::bytesInMemory(), 0);
}

TEST(SavedPageName, KeepsTheNameUpToItsLastDot) {
    const struct {
        const char* path;
        QChar separator;
        const char* name;
    } cases[] = {
        {"/web/My Site.url", u'/', "My Site.htm"},
        {"/web/a.b.url", u'/', "a.b.htm"},
        {"/web/Report 2.url", u'/', "Report 2.htm"},
        {"/web/ends in blank .url", u'/', "ends in blank .htm"},
        {"C:\\Web\\My Site.url", u'\\', "My Site.htm"},
        {"/web.d/noext", u'/', ""},
        {"noext", u'/', ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(savedPageName(QString::fromUtf8(c.path), c.separator), QString::fromUtf8(c.name));
}

// Runs against one server whose routes give each kind of answer.
class EngineRun : public EngineFixture {
  protected:
    std::atomic<int> running{0};
    std::atomic<int> mostRunning{0};
    // Requests to "/polite" in flight at once, from the one asked again after a 429 on.
    std::atomic<int> politeAnswers{0};
    std::atomic<int> politeRunning{0};
    std::atomic<int> mostPoliteAfterRetry{-1};
    HttpTestServer server{[this](httplib::Server& routes) {
        addPageRoutes(routes);
        addRedirectRoutes(routes);
        routes.Get("/to-file", [](const httplib::Request&, httplib::Response& res) {
            res.set_redirect("file:///etc/passwd");
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
                for (int most = mostPoliteAfterRetry;
                     now > most && !mostPoliteAfterRetry.compare_exchange_weak(most, now);)
                    ;
            std::this_thread::sleep_for(20ms);
            --politeRunning;
            res.set_content("page", "text/html");
        });
        routes.Get(
            R"(/delay/(\d+)/(\w+))", [this](const httplib::Request& req, httplib::Response& res) {
                const int now = ++running;
                for (int most = mostRunning;
                     now > most && !mostRunning.compare_exchange_weak(most, now);)
                    ;
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
    const RawHttpServer http10("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<html/>");
    const RawHttpServer headerless("Hello there\r\n");
    const RawHttpServer silent("");
    // One byte every 30 ms never leaves the connection silent for long, yet the page is not
    // complete by the deadline.
    const RawHttpServer trickle(
        "HTTP/1.1 200 OK\r\nContent-Length: 2000\r\n\r\n" + QByteArray(2000, 't'), 30ms);
    const QString noScheme = server.url("/ok").mid(7);
    const QStringList expected = check({
        {shortcuts.file("web/scan-fails.url", "URL=ab.\t\r\n"), " | 35752 Bad URL"},
        shortcuts.item("ok.url", server.url("/ok"), "GOOD"),
        {folder.path() + "/web/gone.url", " | 35752 Bad URL"},
        {shortcuts.file("web/no-address.url", "[InternetShortcut]\r\n"), " | 35752 Bad URL"},
        shortcuts.item("http10.url", http10.url("/"), "GOOD"),
        shortcuts.item("404.url", server.url("/missing"), "POOR"),
        shortcuts.item("cookie.url", server.url("/missing-cookie"), "POOR"),
        shortcuts.item("hops.url", server.url("/hop/3"), "GOOD"),
        shortcuts.item("empty.url", server.url("/empty"), "0 "),
        shortcuts.item("no-scheme.url", noScheme, "GOOD"),
        shortcuts.item("refused.url", refused, "35751 Cannot open URL"),
        shortcuts.item("unknown.url", "http://nonexistent.invalid/", "35751 Cannot open URL"),
        shortcuts.item("space.url", "http://exa mple.com/", "35752 Bad URL"),
        shortcuts.item("ftp.url", "ftp://127.0.0.1/f.txt", "35771 Invalid URL"),
        shortcuts.item("mail.url", "mailto:someone@ab.cd", "35771 Invalid URL"),
        shortcuts.item("headerless.url", headerless.url("/"), "35917 Down level server"),
        shortcuts.item("loop.url", server.url("/loop"), "35751 Cannot open URL"),
        shortcuts.item("to-file.url", server.url("/to-file"), "35751 Cannot open URL"),
        shortcuts.item("trickle.url", trickle.url("/"), "35761 Time out"),
        shortcuts.item("silent.url", silent.url("/"), "35761 Time out"),
    });

    EXPECT_EQ(rows(), expected);
    QStringList headers;
    for (const CheckRow& row : sink.rows)
        headers.append(row.header);
    EXPECT_TRUE(headers[1].startsWith(QStringLiteral("HTTP/1.1 200 OK\r\n")));
    for (int failed : {2, 3, 10})
        EXPECT_EQ(headers[failed], QString()) << failed; // nothing of the item before
    EXPECT_TRUE(headers[6].startsWith(QStringLiteral("HTTP/1.1 404 Not Found\r\n")));
    EXPECT_TRUE(
        headers[6].contains(QStringLiteral("\r\nSet-Cookie: session=1\r\nSet-Cookie: theme=dark")));
    EXPECT_EQ(headers[4], QStringLiteral("HTTP/1.0 200 OK\r\nContent-Type: text/html"));
    EXPECT_TRUE(headers[7].contains(QStringLiteral("\r\nX-Final: yes")));
    EXPECT_FALSE(headers[7].contains(QStringLiteral("Location")));
    EXPECT_TRUE(headers[18].startsWith(QStringLiteral("HTTP/1.1 200 OK"))); // arrived in time
    EXPECT_EQ(headers[19], QString()); // the last item got no answer
    EXPECT_EQ(sink.rows[7].statusCode, 200);
    EXPECT_EQ(sink.rows[7].finalAddress, server.url("/final"));
    EXPECT_EQ(sink.rows[5].statusCode, 404);
    EXPECT_EQ(sink.rows[0].finalAddress, QString()); // no request was sent
}

TEST_F(EngineRun, ManyRequestsAtOnceGiveTheRowsOfOneAtATime) {
    QList<CheckItem> items;
    const char* kinds[] = {"ok", "missing", "empty"};
    const char* statuses[] = {"GOOD", "POOR", "0 "};
    for (int i = 0; i < 300; ++i) {
        const QString name = QStringLiteral("s%1.url").arg(i);
        items.append(
            i % 50 == 7
                ? CheckItem{folder.path() + "/web/absent-" + name, " | 35752 Bad URL"}
                : shortcuts.item(name,
                                 server.url(QStringLiteral("/delay/%1/%2")
                                                .arg(QRandomGenerator::global()->bounded(12))
                                                .arg(kinds[i % 3])),
                                 statuses[i % 3]));
    }
    QStringList expected;
    const QStringList paths = pathsOf(items, expected);
    limits = {1, 1};
    check(paths);
    EXPECT_EQ(rows(), expected);
    EXPECT_EQ(mostRunning, 1);
    // Connection headers depend on how requests share connections; the status lines do not.
    const auto statusLines = [this] {
        QStringList lines;
        for (const CheckRow& row : sink.rows)
            lines.append(row.header.section(QStringLiteral("\r\n"), 0, 0));
        return lines;
    };
    const QStringList oneAtATime = statusLines();

    limits = RunLimits{};
    check(paths);
    EXPECT_EQ(rows(), expected);
    EXPECT_EQ(statusLines(), oneAtATime);
    EXPECT_GT(mostRunning, 1);
    EXPECT_LE(mostRunning, 6); // all on one host
}

TEST_F(EngineRun, AHostThatAnswers429GetsOneRequestAtATime) {
    QList<CheckItem> items;
    for (int i = 0; i < 20; ++i)
        items.append(shortcuts.item(QStringLiteral("p%1.url").arg(i),
                                    server.url(QStringLiteral("/polite/%1").arg(i)), "GOOD"));
    const QStringList expected = check(items);
    EXPECT_EQ(rows(), expected); // the first row is the second answer's
    EXPECT_EQ(mostPoliteAfterRetry, 1);
}

TEST_F(EngineRun, AStopKeepsTheCommittedRowsAndEndsEveryRequest) {
    const RawHttpServer silent("");
    QStringList paths = {shortcuts.shortcut("ok.url", server.url("/ok"))};
    for (int i = 0; i < 10; ++i)
        paths.append(shortcuts.shortcut(QStringLiteral("s%1.url").arg(i), silent.url("/")));
    CheckRun* run = start(paths);
    // Progress names the row the others wait for once the first is committed.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !sink.progress.isEmpty() && sink.progress.last().done == 1; }, 10000));
    EXPECT_EQ(sink.progress.first().total, 11);
    EXPECT_EQ(sink.progress.last().waitingFor, silent.url("/"));
    run->stop();
    EXPECT_TRUE(sink.ended);
    EXPECT_TRUE(sink.stopped);
    EXPECT_EQ(inet.activeTransfers(), 0);
    QTest::qWait(50);
    EXPECT_EQ(rows(), QStringList{server.url("/ok") + " | GOOD"});
}

TEST(ReportWriter, QuotesEachFormatsFieldsAsItsRulesSay) {
    const CheckRow row{0,
                       "/w/a \"b\", é.url",
                       "http://x/?a=1,2",
                       "POOR",
                       404,
                       "http://x/\t1",
                       "HTTP/1.1 404 Not Found\r\nA: \"q\""};
    const CheckRow bare{1, "/w/b.url", "", "35752 Bad URL", 0, "", ""};
    const struct {
        ReportFormat format;
        const char* bytes;
    } cases[] = {
        {ReportFormat::Csv,
         "shortcut,address,status,code,final_address\r\n"
         "\"/w/a \"\"b\"\", \xc3\xa9.url\",\"http://x/?a=1,2\",POOR,404,http://x/\t1\r\n"
         "/w/b.url,,35752 Bad URL,0,\r\n"},
        {ReportFormat::Tsv, "shortcut\taddress\tstatus\tcode\tfinal_address\n"
                            "/w/a \"b\", \xc3\xa9.url\thttp://x/?a=1,2\tPOOR\t404\thttp://x/\\t1\n"
                            "/w/b.url\t\t35752 Bad URL\t0\t\n"},
        {ReportFormat::Json,
         "[\n  {\"shortcut\": \"/w/a \\\"b\\\", \xc3\xa9.url\", \"address\": \"http://x/?a=1,2\", "
         "\"status\": \"POOR\", \"code\": 404, \"final_address\": \"http://x/\\t1\", "
         "\"header\": \"HTTP/1.1 404 Not Found\\r\\nA: \\\"q\\\"\"},\n"
         "  {\"shortcut\": \"/w/b.url\", \"address\": \"\", \"status\": \"35752 Bad URL\", "
         "\"code\": 0, \"final_address\": \"\", \"header\": \"\"}\n]\n"},
    };
    for (const auto& c : cases) {
        ReportWriter writer(c.format);
        QByteArray bytes = writer.begin();
        bytes += writer.row(row);
        bytes += writer.row(bare);
        EXPECT_EQ(bytes + writer.end(), c.bytes);
    }
    EXPECT_EQ(ReportWriter(ReportFormat::Json).begin() + ReportWriter(ReportFormat::Json).end(),
              "[]\n");
    EXPECT_EQ(reportFormatOfFile(QStringLiteral("/r/x.JSON")), ReportFormat::Json);
    EXPECT_EQ(reportFormatOfFile(QStringLiteral("/r/x.tsv")), ReportFormat::Tsv);
    EXPECT_EQ(reportFormatOfFile(QStringLiteral("/r/x.txt")), ReportFormat::Csv);
}

// Every hostile answer ends in a row of its own, with bounded memory and temporary disk.
class HostileServer : public EngineFixture {
  protected:
    void SetUp() override {
        EngineFixture::SetUp();
        // Every answer but a trickle ends by itself, however busy the machine.
        settings.requestTimeout = 30s;
        // Pages spilled by the run go where the test can weigh them.
        spillFolder = folder.path() + "/spill";
        QDir().mkpath(spillFolder);
        oldTemp = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(spillFolder));
        QObject::connect(&spillMeter, &QTimer::timeout,
                         [this] { mostSpilled = std::max(mostSpilled, folderBytes(spillFolder)); });
        spillMeter.start(5);
    }
    void TearDown() override {
        qputenv("TMPDIR", oldTemp);
        EngineFixture::TearDown();
    }

    QString spillFolder;
    QByteArray oldTemp;
    QTimer spillMeter;
    qint64 mostSpilled = 0;
    std::atomic<int> endlessRequests{0};
    HttpTestServer server{[this](httplib::Server& routes) {
        routes.Get("/endless", [this](const httplib::Request&, httplib::Response& res) {
            ++endlessRequests;
            endlessBody(res, 'e');
        });
        addRedirectRoutes(routes);
        routes.Get("/endless-redirect", [](const httplib::Request&, httplib::Response& res) {
            res.set_redirect("/final");
            endlessBody(res, 'r');
        });
        routes.Get("/slow", [](const httplib::Request&, httplib::Response& res) {
            std::this_thread::sleep_for(500ms);
            res.set_content("slow", "text/plain");
        });
    }};
};

TEST_F(HostileServer, EachAnswerEndsInADefinedRow) {
    QByteArray manyLines = "HTTP/1.1 200 OK\r\n";
    for (int i = 0; i < 100000; ++i)
        manyLines += "X-Line-" + QByteArray::number(i) + ": v\r\n";
    const RawHttpServer manyHeaderLines(manyLines + "Content-Length: 5\r\n\r\nlines");
    const RawHttpServer longHeaderLine("HTTP/1.1 200 OK\r\nX-Long: " + QByteArray(1 << 20, 'l') +
                                       "\r\nContent-Length: 4\r\n\r\nlong");
    const RawHttpServer closesMidHeader("HTTP/1.1 200 OK\r\nContent-Ty");
    const QByteArray chunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    const RawHttpServer badChunkSize(chunked + "ZZ\r\nhello\r\n0\r\n\r\n");
    const RawHttpServer hugeChunkSize(chunked + "fffffffffffffffffff\r\nhello\r\n0\r\n\r\n");
    const RawHttpServer bomb("HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\n"
                             "Content-Type: text/html\r\n\r\n" +
                             gzippedZeros(64 << 20));
    const QSslConfiguration selfSigned = selfSignedTls();
    ASSERT_FALSE(selfSigned.localCertificate().isNull()) << "the openssl command failed";
    const RawHttpServer tls("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello", 0ms, selfSigned);
    const QList<CheckItem> items = {
        // Cut at the largest page and kept as received.
        shortcuts.item("endless.url", server.url("/endless"), "GOOD"),
        shortcuts.item("bomb.url", bomb.url("/"), "GOOD"),
        shortcuts.item("loop.url", server.url("/loop"), "35751 Cannot open URL"),
        shortcuts.item("20 hops.url", server.url("/hop/19"), "GOOD"),
        shortcuts.item("21 hops.url", server.url("/hop/20"), "35751 Cannot open URL"),
        shortcuts.item("50 hops.url", server.url("/hop/49"), "35751 Cannot open URL"),
        shortcuts.item("endless redirect.url", server.url("/endless-redirect"), "GOOD"),
        // A header beyond its bound ends the transfer.
        shortcuts.item("many header lines.url", manyHeaderLines.url("/"), "35751 Cannot open URL"),
        shortcuts.item("long header line.url", longHeaderLine.url("/"), "35751 Cannot open URL"),
        shortcuts.item("closes mid-header.url", closesMidHeader.url("/"), "35751 Cannot open URL"),
        // An unreadable chunk size breaks the body off: the header stands, the page is empty.
        shortcuts.item("bad chunk size.url", badChunkSize.url("/"), "0 "),
        shortcuts.item("huge chunk size.url", hugeChunkSize.url("/"), "0 "),
        shortcuts.item("self-signed.url", tls.url("/"), "35751 Cannot open URL"),
    };
    const QString pages = folder.path() + "/pages";
    QDir().mkpath(pages);
    sink.pagesFolder = pages;
    const qint64 residentBefore = statusKb("VmRSS");
    resetPeakMemory();
    const QStringList expected = check(items);

    EXPECT_EQ(rows(), expected);
    if (kMemoryMeasurable) {
        EXPECT_LT(statusKb("VmHWM") - residentBefore, 48 << 10);
    }
    // The two largest pages may be on their way at once; nothing else is kept.
    EXPECT_LE(mostSpilled, 2 * kLargestBody + (1 << 20));
    EXPECT_EQ(fileBytes(pages + "/endless.htm"), QByteArray(kLargestBody, 'e') + "\r\n");
    EXPECT_EQ(fileBytes(pages + "/bomb.htm"), QByteArray(kLargestBody, '\0') + "\r\n");
    EXPECT_EQ(fileBytes(pages + "/endless redirect.htm"), "arrived\r\n");
    EXPECT_TRUE(sink.rows[7].header.startsWith(QStringLiteral("HTTP/1.1 200 OK")));
    EXPECT_TRUE(sink.saveErrors.isEmpty());
    EXPECT_EQ(folderBytes(spillFolder), 0);
}

TEST_F(HostileServer, ATrickleEndsAtTheRequestTimeOut) {
    const RawHttpServer trickle(
        "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n" + QByteArray(100, 't'), 1s);
    settings.requestTimeout = 1500ms;
    check({shortcuts.shortcut("trickle.url", trickle.url("/"))});
    EXPECT_EQ(rows(), QStringList{trickle.url("/") + " | 35761 Time out"});
    EXPECT_TRUE(sink.rows[0].header.startsWith(QStringLiteral("HTTP/1.1 200 OK")));
}

TEST_F(HostileServer, PagesWaitingForTheirRowStayWithinTheBudget) {
    constexpr int kEndless = 4;
    QList<CheckItem> items = {shortcuts.item("slow.url", server.url("/slow"), "GOOD")};
    for (int i = 0; i < kEndless; ++i)
        items.append(
            shortcuts.item(QStringLiteral("endless%1.url").arg(i), server.url("/endless"), "GOOD"));
    limits.pageBytesHeld = 4 << 20;
    const QStringList expected = check(items);
    EXPECT_EQ(rows(), expected);
    // The first row holds the others back: they wait within the budget, then come one by
    // one as the first row, each sent at most twice.
    EXPECT_LE(mostSpilled, (4 << 20) + kLargestBody + (1 << 20));
    EXPECT_LE(endlessRequests, 2 * kEndless);
    EXPECT_EQ(folderBytes(spillFolder), 0);
}
