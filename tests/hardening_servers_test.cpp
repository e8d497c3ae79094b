#include "CheckRunFixture.h"
#include "HttpTestServer.h"
#include "InternetTransfer.h"
#include "ProcessMemory.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
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

// Every hostile answer ends in a row of its own, with bounded memory and temporary disk.
class HostileServer : public CheckRunFixture {
  protected:
    void SetUp() override {
        CheckRunFixture::SetUp();
        // Every answer but a trickle ends by itself, however busy the machine.
        checker().settings.requestTimeout = 30s;
        // Pages spilled by the run go where the test can weigh them.
        spillFolder = programFolder() + "/spill";
        QDir().mkpath(spillFolder);
        oldTemp = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(spillFolder));
        QObject::connect(&spillMeter, &QTimer::timeout,
                         [this] { mostSpilled = std::max(mostSpilled, folderBytes(spillFolder)); });
        spillMeter.start(5);
    }
    void TearDown() override {
        qputenv("TMPDIR", oldTemp);
        CheckRunFixture::TearDown();
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
    const QStringList expected = load({
        // Cut at the largest page and kept as received.
        item("endless.url", server.url("/endless"), "GOOD"),
        item("bomb.url", bomb.url("/"), "GOOD"),
        item("loop.url", server.url("/loop"), "35751 Cannot open URL"),
        item("20 hops.url", server.url("/hop/19"), "GOOD"),
        item("21 hops.url", server.url("/hop/20"), "35751 Cannot open URL"),
        item("50 hops.url", server.url("/hop/49"), "35751 Cannot open URL"),
        item("endless redirect.url", server.url("/endless-redirect"), "GOOD"),
        // A header beyond its bound ends the transfer.
        item("many header lines.url", manyHeaderLines.url("/"), "35751 Cannot open URL"),
        item("long header line.url", longHeaderLine.url("/"), "35751 Cannot open URL"),
        item("closes mid-header.url", closesMidHeader.url("/"), "35751 Cannot open URL"),
        // An unreadable chunk size breaks the body off: the header stands, the page is empty.
        item("bad chunk size.url", badChunkSize.url("/"), "0 "),
        item("huge chunk size.url", hugeChunkSize.url("/"), "0 "),
        item("self-signed.url", tls.url("/"), "35751 Cannot open URL"),
    });
    const QString pages = programFolder() + "/pages";
    QDir().mkpath(pages);
    platform->inputAnswers = {pages};
    form->Check3->setChecked(true);
    const qint64 residentBefore = statusKb("VmRSS");
    resetPeakMemory();
    runCheck();

    EXPECT_EQ(rows(), expected);
    if (kMemoryMeasurable) {
        EXPECT_LT(statusKb("VmHWM") - residentBefore, 48 << 10);
    }
    // The two largest pages may be on their way at once; nothing else is kept.
    EXPECT_LE(mostSpilled, 2 * kLargestBody + (1 << 20));
    EXPECT_EQ(fileBytes(pages + "/endless.htm"), QByteArray(kLargestBody, 'e') + "\r\n");
    EXPECT_EQ(fileBytes(pages + "/bomb.htm"), QByteArray(kLargestBody, '\0') + "\r\n");
    EXPECT_EQ(fileBytes(pages + "/endless redirect.htm"), "arrived\r\n");
    EXPECT_TRUE(form->StoredHEADERS[7].startsWith(QStringLiteral("HTTP/1.1 200 OK")));
    EXPECT_TRUE(platform->messages.isEmpty());
    EXPECT_EQ(folderBytes(spillFolder), 0);
}

TEST_F(HostileServer, ATrickleEndsAtTheRequestTimeOut) {
    const RawHttpServer trickle(
        "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n" + QByteArray(100, 't'), 1s);
    load({shortcut("trickle.url", trickle.url("/"))});
    checker().settings.requestTimeout = 1500ms;
    runCheck();
    EXPECT_EQ(rows(), QStringList{trickle.url("/") + " | 35761 Time out"});
    EXPECT_TRUE(form->StoredHEADERS[0].startsWith(QStringLiteral("HTTP/1.1 200 OK")));
}

TEST_F(HostileServer, PagesWaitingForTheirRowStayWithinTheBudget) {
    constexpr int kEndless = 4;
    QList<CheckItem> items = {item("slow.url", server.url("/slow"), "GOOD")};
    for (int i = 0; i < kEndless; ++i)
        items.append(item(QStringLiteral("endless%1.url").arg(i), server.url("/endless"), "GOOD"));
    const QStringList expected = load(items);
    checker().limits.pageBytesHeld = 4 << 20;
    runCheck();
    EXPECT_EQ(rows(), expected);
    // The first row holds the others back: they wait within the budget, then come one by
    // one as the first row, each sent at most twice.
    EXPECT_LE(mostSpilled, (4 << 20) + kLargestBody + (1 << 20));
    EXPECT_LE(endlessRequests, 2 * kEndless);
    EXPECT_EQ(folderBytes(spillFolder), 0);
}

// Commands clicked while a run is in progress: those that would change what the run reads
// are refused with a message, the others work beside it, and closing the window ends it.
class CommandsDuringARun : public CheckRunFixture {
  protected:
    HttpTestServer server{[](httplib::Server& routes) {
        routes.Get(R"(/slow/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
            std::this_thread::sleep_for(60ms);
            res.set_content("page " + std::string(req.matches[1]), "text/plain");
        });
    }};
};

TEST_F(CommandsDuringARun, LeaveTheRowsCorrectOrAreRefused) {
    constexpr int kItems = 30;
    constexpr int kClosedAfter = 24;
    QList<CheckItem> items;
    for (int i = 0; i < kItems; ++i)
        items.append(item(QStringLiteral("s%1.url").arg(i),
                          server.url(QStringLiteral("/slow/%1").arg(i)), "GOOD"));
    const QStringList expected = load(items);
    checker().limits = {1, 1};
    const QString oldFolder = programFolder() + "/old";
    const QString newFolder = programFolder() + "/new";
    QDir().mkpath(oldFolder);
    QDir().mkpath(newFolder);
    form->downloadFolder = oldFolder;
    form->Text1->setText(programFolder());
    // The download folder question stays open while a few rows are committed, as a person
    // takes time to answer; the run goes on meanwhile. The first question is answered, the
    // second cancelled.
    bool answerSlowly = false;
    std::vector<int> rowsWhenAsked;
    platform->whileDialogOpen = [&] {
        if (!answerSlowly)
            return;
        const int asked = rowsWhenAsked.emplace_back(form->List4->count());
        EXPECT_TRUE(QTest::qWaitFor([&] { return form->List4->count() >= asked + 3; }, 10000));
    };
    const auto askForFolder = [&](std::deque<QString> answers) {
        platform->inputAnswers = std::move(answers);
        answerSlowly = true;
        form->Check3->setChecked(false);
        form->Check3->setChecked(true);
        answerSlowly = false;
    };
    int rowsWhenClosed = 0;

    const std::map<int, std::function<void()>> commandAfterRow = {
        {1, [this] { form->Command1->click(); }},
        {2, [this] { form->Find->trigger(); }},
        {3, [this] { form->Command2->click(); }},
        {4, [this] { form->Load->trigger(); }},
        {5,
         [this] {
             platform->inputAnswers = {programFolder()};
             QTest::mouseClick(form->Label4, Qt::LeftButton);
         }},
        {6, [this] { form->Command8->click(); }},
        {7, [this] { form->Dir1->setPath(programFolder() + "/web"); }},
        {8, [this] { form->ABOUTVorlan->trigger(); }},
        {9, [this] { form->Check1->click(); }},
        {10, [this] { QTest::mouseClick(form->Label5, Qt::LeftButton); }},
        {11, [&] { askForFolder({newFolder}); }},
        {18, [&] { askForFolder({}); }},
        {kClosedAfter,
         [&] {
             rowsWhenClosed = form->List4->count();
             form->close();
         }},
    };
    QObject::connect(form->List4->model(), &QAbstractItemModel::rowsInserted, form.get(),
                     [&](const QModelIndex&, int row) {
                         const auto command = commandAfterRow.find(row + 1);
                         if (command != commandAfterRow.end())
                             QTimer::singleShot(0, form.get(), command->second);
                     });
    QTest::mouseClick(form->Label5, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !checker().running(); }, 30000));
    QTest::qWait(200); // a run that went on would add rows meanwhile

    ASSERT_GE(rowsWhenClosed, kClosedAfter);
    EXPECT_EQ(rows(), expected.first(rowsWhenClosed));
    EXPECT_EQ(checker().inet().activeTransfers(), 0);
    EXPECT_EQ(platform->messages, QStringList(4, QStringLiteral("A link check is in progress.")));
    EXPECT_TRUE(platform->listingRuns.isEmpty());
    EXPECT_FALSE(QFile::exists(workingFolder() + "/listB.bat"));
    EXPECT_EQ(form->List1->count(), kItems);
    EXPECT_TRUE(QFile::exists(programFolder() + "/urlLIST.htm"));
    EXPECT_EQ(platform->shellOpens, QStringList{workingFolder() + "/hINFOforN.txt"});
    EXPECT_EQ(form->Text1->text(), programFolder() + "/web");
    EXPECT_TRUE(form->List3->isHidden());
    // The pages of the rows committed while the first question was open went into its
    // answer, like the later ones; those of the rows after the cancelled one went nowhere.
    // The folder given before was not used.
    EXPECT_TRUE(QDir(oldFolder).isEmpty());
    ASSERT_EQ(rowsWhenAsked.size(), 2u);
    QStringList saved;
    for (int row = rowsWhenAsked[0]; row < rowsWhenAsked[1]; ++row)
        saved.append(QStringLiteral("s%1.htm").arg(row));
    saved.sort();
    EXPECT_EQ(QDir(newFolder).entryList(QDir::Files, QDir::Name), saved);
    EXPECT_EQ(fileBytes(newFolder + "/" + saved.first()),
              QStringLiteral("page %1\r\n").arg(rowsWhenAsked[0]).toUtf8());
    EXPECT_FALSE(form->Check3->isChecked());
    for (QWidget* window : QApplication::topLevelWidgets())
        EXPECT_TRUE(window->isHidden()) << window->objectName().toStdString();
}
