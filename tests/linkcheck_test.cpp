#include "CheckRunFixture.h"
#include "FetchScheduler.h"
#include "HeaderExport.h"
#include "HttpTestServer.h"
#include "LinkCheck.h"
#include "PageBody.h"
#include "PageDownload.h"
#include "StatusText.h"
#include "WindowActions.h"
#include "WindowFixture.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>

using namespace vorlan;
using namespace vorlan::test;
using namespace std::chrono_literals;

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

class LinkCheckRun : public CheckRunFixture {
  protected:
    std::atomic<int> requests{0};
    std::atomic<int> running{0};
    std::atomic<int> mostRunning{0};
    // Requests to "/polite" in flight at once, from the one asked again after a 429 on.
    std::atomic<int> politeAnswers{0};
    std::atomic<int> politeRunning{0};
    std::atomic<int> mostPoliteAfterRetry{-1};
    HttpTestServer server{[this](httplib::Server& routes) {
        // Counted before the answer goes out, so that a run that has ended has counted all.
        routes.set_pre_routing_handler([this](const httplib::Request&, httplib::Response&) {
            ++requests;
            return httplib::Server::HandlerResponse::Unhandled;
        });
        const auto page = [](int status, const std::string& body, bool cookies = false) {
            return [=](const httplib::Request&, httplib::Response& res) {
                res.status = status;
                if (cookies) {
                    res.set_header("Set-Cookie", "session=1");
                    res.set_header("Set-Cookie", "theme=dark");
                }
                res.set_content(body, "text/html");
            };
        };
        routes.Get("/ok", page(200, "<html>fine</html>"));
        routes.Get("/missing", page(404, "nothing here"));
        routes.Get("/missing-cookie", page(404, "nothing here", true));
        routes.Get("/empty", page(200, ""));
        routes.Get("/bytes", page(200, std::string("a\0b\r\nc\n\xff", 8)));
        routes.Get("/big", page(200, std::string(3 << 20, 'B')));
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

TEST_F(LinkCheckRun, EachRowComesFromItsOwnTransfer) {
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
    const QStringList expected = load({
        {writeFile("web/scan-fails.url", "URL=ab.\t\r\n"), " | 35752 Bad URL"},
        item("ok.url", server.url("/ok"), "GOOD"),
        {programFolder() + "/web/gone.url", " | 35752 Bad URL"},
        {writeFile("web/no-address.url", "[InternetShortcut]\r\n"), " | 35752 Bad URL"},
        item("http10.url", http10.url("/"), "GOOD"),
        item("404.url", server.url("/missing"), "POOR"),
        item("cookie.url", server.url("/missing-cookie"), "POOR"),
        item("hops.url", server.url("/hop/3"), "GOOD"),
        item("empty.url", server.url("/empty"), "0 "),
        item("no-scheme.url", noScheme, "GOOD"),
        item("refused.url", refused, "35751 Cannot open URL"),
        item("unknown.url", "http://nonexistent.invalid/", "35751 Cannot open URL"),
        item("space.url", "http://exa mple.com/", "35752 Bad URL"),
        item("ftp.url", "ftp://127.0.0.1/f.txt", "35771 Invalid URL"),
        item("mail.url", "mailto:someone@ab.cd", "35771 Invalid URL"),
        item("headerless.url", headerless.url("/"), "35917 Down level server"),
        item("loop.url", server.url("/loop"), "35751 Cannot open URL"),
        item("to-file.url", server.url("/to-file"), "35751 Cannot open URL"),
        item("trickle.url", trickle.url("/"), "35761 Time out"),
        item("silent.url", silent.url("/"), "35761 Time out"),
    });
    runCheck();

    EXPECT_EQ(rows(), expected);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("DONE! - Vorlan"));
    EXPECT_TRUE(form->Check1->isChecked());
    EXPECT_FALSE(form->List3->isHidden());
    const QStringList& headers = form->StoredHEADERS;
    EXPECT_TRUE(headers[1].startsWith(QStringLiteral("HTTP/1.1 200 OK\r\n")));
    for (int failed : {2, 3, 10})
        EXPECT_EQ(headers[failed], QString()) << failed; // nothing of the item before
    EXPECT_TRUE(headers[6].startsWith(QStringLiteral("HTTP/1.1 404 Not Found\r\n")));
    EXPECT_TRUE(headers[6].contains(
        QStringLiteral("\r\nSet-Cookie: session=1\r\nSet-Cookie: theme=dark")));
    EXPECT_EQ(headers[4], QStringLiteral("HTTP/1.0 200 OK\r\nContent-Type: text/html"));
    EXPECT_TRUE(headers[7].contains(QStringLiteral("\r\nX-Final: yes")));
    EXPECT_FALSE(headers[7].contains(QStringLiteral("Location")));
    EXPECT_TRUE(headers[18].startsWith(QStringLiteral("HTTP/1.1 200 OK"))); // arrived in time
    EXPECT_EQ(form->Text2->toPlainText(), QString()); // the last item got no answer
    EXPECT_TRUE(platform->messages.isEmpty());
}

TEST_F(LinkCheckRun, ManyRequestsAtOnceGiveTheRowsOfOneAtATime) {
    QList<CheckItem> items;
    const char* kinds[] = {"ok", "missing", "empty"};
    const char* statuses[] = {"GOOD", "POOR", "0 "};
    for (int i = 0; i < 300; ++i) {
        const QString name = QStringLiteral("s%1.url").arg(i);
        items.append(i % 50 == 7
                         ? CheckItem{programFolder() + "/web/absent-" + name, " | 35752 Bad URL"}
                         : item(name,
                                server.url(QStringLiteral("/delay/%1/%2")
                                               .arg(QRandomGenerator::global()->bounded(12))
                                               .arg(kinds[i % 3])),
                                statuses[i % 3]));
    }
    const QStringList expected = load(items);
    checker().limits = {1, 1};
    runCheck();
    EXPECT_EQ(rows(), expected);
    EXPECT_EQ(mostRunning, 1);
    // Connection headers depend on how requests share connections; the status lines do not.
    const auto statusLines = [this] {
        QStringList lines;
        for (const QString& header : form->StoredHEADERS)
            lines.append(header.section(QStringLiteral("\r\n"), 0, 0));
        return lines;
    };
    const QStringList oneAtATime = statusLines();

    checker().limits = RunLimits{};
    runCheck();
    EXPECT_EQ(rows(), expected);
    EXPECT_EQ(statusLines(), oneAtATime);
    EXPECT_GT(mostRunning, 1);
    EXPECT_LE(mostRunning, 6); // all on one host
}

TEST_F(LinkCheckRun, AHostThatAnswers429GetsOneRequestAtATime) {
    QList<CheckItem> items;
    for (int i = 0; i < 20; ++i)
        items.append(item(QStringLiteral("p%1.url").arg(i),
                          server.url(QStringLiteral("/polite/%1").arg(i)), "GOOD"));
    const QStringList expected = load(items);
    runCheck();
    EXPECT_EQ(rows(), expected); // the first row is the second answer's
    EXPECT_EQ(mostPoliteAfterRetry, 1);
}

TEST_F(LinkCheckRun, ASecondRunReplacesTheRowsOfTheFirst) {
    load({shortcut("a.url", server.url("/ok")), shortcut("b.url", server.url("/missing")),
          shortcut("c.url", server.url("/empty"))});
    runCheck();
    writeFile(QStringLiteral("VOR/url.txt"), (shortcut("d.url", server.url("/missing-cookie")) +
                                              "\r\n" + shortcut("e.url", "ftp://x.y/"))
                                                 .toUtf8());
    const int requestsBefore = requests;
    form->setWindowTitle(QStringLiteral("Vorlan"));
    QSignalSpy titles(form.get(), &QWidget::windowTitleChanged);
    Label5_Click(*form);
    Label5_Click(*form); // ignored while the run is in progress
    ASSERT_TRUE(titles.wait(20000));
    EXPECT_EQ(requests, requestsBefore + 1);
    EXPECT_EQ(rows(), QStringList({server.url("/missing-cookie") + " | POOR",
                                   "ftp://x.y/ | 35771 Invalid URL"}));
    EXPECT_TRUE(form->StoredHEADERS[0].contains(QStringLiteral("session=1")));
    EXPECT_EQ(form->StoredHEADERS[1], QString());
}

TEST_F(LinkCheckRun, RefusesToStartWithoutAUsableResultFile) {
    const QString resultFile = workingFolder() + "/url.txt";
    const char* emptyList = "Created list of shortcuts are empty that cannot create HTML.\r\n"
                            "Please make sure that list is prepared.";
    const struct {
        QStringList list1;
        QByteArray resultFile; // "-" for none
        const char* message;
    } cases[] = {
        {{}, "a\r\n", "Please search file first, which you want to."},
        {{"a"}, "-", "File is not created yet."},
        {{"a"}, "a\r\n\r\n", emptyList},
        {{"a"}, "", emptyList},
    };
    for (const auto& c : cases) {
        platform->messages.clear();
        fillList(form->List1, c.list1);
        QFile::remove(resultFile);
        if (c.resultFile != "-")
            writeFile(QStringLiteral("VOR/url.txt"), c.resultFile);
        Label5_Click(*form);
        EXPECT_FALSE(checker().running());
        EXPECT_EQ(platform->messages, QStringList{QString::fromUtf8(c.message)});
        EXPECT_FALSE(form->Check1->isChecked());
    }
}

TEST_F(LinkCheckRun, RowsBeyond5000KeepTheirHeaderText) {
    QStringList lines(5001);
    lines.append(shortcut("last.url", server.url("/ok")));
    load(lines);
    runCheck();
    ASSERT_EQ(form->List4->count(), 5002);
    EXPECT_EQ(form->List4->item(5000)->text(), QStringLiteral("35752 Bad URL"));
    EXPECT_EQ(form->List4->item(5001)->text(), QStringLiteral("GOOD"));
    form->Text2->clear();
    form->List3->setListIndex(5001);
    EXPECT_TRUE(form->Text2->toPlainText().startsWith(QStringLiteral("HTTP/1.1 200 OK\n")));
}

TEST_F(LinkCheckRun, Check3AppliesFromTheNextCommittedRow) {
    const QString folder = programFolder() + "/pages";
    QDir().mkpath(folder);
    load({shortcut("a.url", server.url("/ok")), shortcut("b.url", server.url("/ok")),
          shortcut("c.url", server.url("/bytes")), shortcut("d.url", "ftp://x.y/")});
    QObject::connect(form->List4->model(), &QAbstractItemModel::rowsInserted, form.get(),
                     [this, folder](const QModelIndex&, int row) {
                         if (row == 1) {
                             platform->inputAnswers.push_back(folder);
                             form->Check3->setChecked(true);
                         }
                     });
    runCheck();
    EXPECT_FALSE(QFile::exists(folder + "/a.htm"));
    EXPECT_FALSE(QFile::exists(folder + "/b.htm"));
    EXPECT_EQ(fileBytes(folder + "/c.htm"), QByteArray("a\0b\r\nc\n\xff\r\n", 10));
    EXPECT_EQ(fileBytes(folder + "/d.htm"), "\r\n"); // a failed fetch saves an empty page
}

TEST_F(LinkCheckRun, SavesEveryPageByteForByteAndGoesOnWhenItCannot) {
    const QString folder = programFolder() + "/pages";
    QDir().mkpath(folder + "/x");
    const QStringList expected =
        load({item("big.url", server.url("/big"), "GOOD"),
              item("404.url", server.url("/missing"), "POOR"),
              {writeFile("web/x/404.url", "URL=" + server.url("/ok").toUtf8()),
               server.url("/ok") + " | GOOD"}});
    platform->inputAnswers = {folder + "/"};
    form->Check3->setChecked(true);
    runCheck();
    EXPECT_EQ(rows(), expected);
    EXPECT_EQ(fileBytes(folder + "/big.htm"), QByteArray(3 << 20, 'B') + "\r\n");
    EXPECT_EQ(fileBytes(folder + "/404.htm"), "<html>fine</html>\r\n"); // the later one wins

    EXPECT_TRUE(platform->messages.isEmpty());

    // Nothing interrupts the run; its end tells how many pages were not saved, and why.
    platform->inputAnswers = {programFolder() + "/nowhere"};
    form->Check3->setChecked(false);
    form->Check3->setChecked(true);
    runCheck();
    EXPECT_FALSE(QDir(programFolder() + "/nowhere").exists());
    EXPECT_EQ(rows(), expected);
    EXPECT_EQ(platform->messages,
              QStringList{"3 pages could not be saved; the first:\r\nCannot write the file " +
                          programFolder() + "/nowhere/big.htm: No such file or directory"});
}

TEST_F(LinkCheckRun, ClosingTheWindowEndsTheRunAndItsRequests) {
    const RawHttpServer silent("");
    QStringList paths;
    for (int i = 0; i < 20; ++i)
        paths.append(shortcut(QStringLiteral("s%1.url").arg(i), silent.url("/")));
    load(paths);
    Label5_Click(*form);
    ASSERT_TRUE(QTest::qWaitFor([&] { return silent.connections() >= 6; }, 5000));
    form->close();
    EXPECT_FALSE(checker().running());
    EXPECT_EQ(checker().inet().activeTransfers(), 0);
    QTest::qWait(50);
    EXPECT_EQ(form->List3->count(), 0);
}

TEST_F(WindowFixture, Check3AsksForTheDownloadFolder) {
    const QString defaultFolder = programFolder() + "/HTMLs";
    platform->inputAnswers = {defaultFolder, {}, defaultFolder + "2"};
    form->Check3->setChecked(true);
    EXPECT_TRUE(QDir(defaultFolder).exists());
    EXPECT_EQ(form->downloadFolder, defaultFolder);
    EXPECT_EQ(platform->inputPrompts, QStringList{"Where would you like to save it?"});
    EXPECT_EQ(platform->inputDefaults, QStringList{defaultFolder});

    form->Check3->setChecked(false); // asks nothing
    form->Check3->setChecked(true);  // cancelled
    EXPECT_FALSE(form->Check3->isChecked());
    EXPECT_EQ(form->downloadFolder, defaultFolder);
    form->Check3->setChecked(true);
    EXPECT_EQ(form->downloadFolder, defaultFolder + "2");
    EXPECT_FALSE(QDir(defaultFolder + "2").exists());
    EXPECT_EQ(platform->inputPrompts.size(), 3);
    EXPECT_TRUE(platform->messages.isEmpty());
}

class ResultsPanel : public WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        activate(form.get());
        QStringList shortcuts, addresses;
        for (int i = 0; i < 5; ++i) {
            addresses.append(QStringLiteral("site%1.example/").arg(i));
            shortcuts.append(writeFile(QStringLiteral("web/%1.url").arg(i),
                                       "URL=" + addresses.last().toUtf8() + "\r\n"));
        }
        fillList(form->List1, shortcuts);
        fillList(form->List3, addresses);
        fillList(form->List4, {"GOOD", "POOR", "0 ", "GOOD", "GOOD"});
        form->StoredHEADERS = {"h0", "h1", "", "h3", "h4"};
        form->Check1->setChecked(true);
    }
};

TEST_F(ResultsPanel, Check1SwitchesBetweenTheResultsAndTheDetailList) {
    form->Check1->setChecked(false);
    EXPECT_FALSE(form->List2->isHidden());
    for (QWidget* w :
         std::initializer_list<QWidget*>{form->List3, form->List4, form->Command5, form->Command6})
        EXPECT_TRUE(w->isHidden());
    form->Check1->setChecked(true);
    EXPECT_TRUE(form->List2->isHidden());
    EXPECT_FALSE(form->List4->isHidden());
    EXPECT_EQ(form->List3->count(), 5); // contents stay
}

TEST_F(ResultsPanel, ClickingARowSelectsItEverywhereAndShowsItsHeader) {
    clickRow(form->List3, 3);
    EXPECT_EQ(form->List4->listIndex(), 3);
    EXPECT_EQ(form->List1->listIndex(), 3);
    EXPECT_TRUE(form->List2->findItems("URL=site3.example/", Qt::MatchExactly).size() == 1);
    EXPECT_EQ(form->Text2->toPlainText(), QStringLiteral("h3"));

    clickRow(form->List4, 2); // no stored header: Text2 keeps its text
    EXPECT_EQ(form->List3->listIndex(), 2);
    EXPECT_EQ(form->List1->listIndex(), 2);
    EXPECT_EQ(form->Text2->toPlainText(), QStringLiteral("h3"));

    delete form->List1->takeItem(4);
    clickRow(form->List4, 4);
    EXPECT_EQ(form->List1->listIndex(), 2);
    EXPECT_EQ(form->Text2->toPlainText(), QStringLiteral("h4"));
}

TEST_F(ResultsPanel, RightClickOpensTheEditMenuOnlyOnASelectedRow) {
    clickRow(form->List3, 1, Qt::RightButton);
    EXPECT_FALSE(form->Edit->isVisible());
    clickRow(form->List3, 1);
    form->Text2->setPlainText(QStringLiteral("kept"));
    clickRow(form->List3, 3, Qt::RightButton);
    EXPECT_TRUE(form->Edit->isVisible());
    form->Edit->hide();
    EXPECT_EQ(form->List3->listIndex(), 1);
    EXPECT_EQ(form->Text2->toPlainText(), QStringLiteral("kept"));
}

TEST_F(ResultsPanel, FocusFlagAndTooltipFollowTheList) {
    clickRow(form->List3, 0);
    EXPECT_TRUE(form->ListFocus[3]);
    EXPECT_EQ(form->List3->toolTip(), QStringLiteral("site0.example/"));
    form->Text2->setFocus();
    EXPECT_FALSE(form->ListFocus[3]);
    EXPECT_EQ(form->List3->toolTip(), QString());
    form->List3->setFocus();
    EXPECT_TRUE(form->ListFocus[3]);
    EXPECT_EQ(form->List3->toolTip(), QString());
    form->List3->setToolTip(QStringLiteral("old"));
    form->List3->clear();
    QTest::mouseClick(form->List3->viewport(), Qt::LeftButton);
    EXPECT_EQ(form->List3->toolTip(), QStringLiteral("old"));
}

TEST_F(WindowFixture, Command8WritesTheShownHeaderAndOpensIt) {
    const QString path = workingFolder() + "/hINFOforN.txt";
    form->Command8->click();
    EXPECT_EQ(fileBytes(path), "No any header information here. Please search the URL first.\r\n");
    form->Text2->setPlainText(QStringLiteral("HTTP/1.1 200 OK\r\nA: b"));
    form->Command8->click();
    EXPECT_EQ(fileBytes(path), "HTTP/1.1 200 OK\r\nA: b\r\n");
    EXPECT_EQ(platform->shellOpens, QStringList({path, path}));

    QDir(workingFolder()).removeRecursively();
    form->Command8->click();
    EXPECT_EQ(platform->shellOpens.size(), 2);
    ASSERT_EQ(platform->messages.size(), 1);
    EXPECT_TRUE(platform->messages[0].contains(path));
}
