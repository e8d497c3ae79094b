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
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <atomic>

using namespace vorlan;
using namespace vorlan::test;
using namespace std::chrono_literals;

class LinkCheckRun : public CheckRunFixture {
  protected:
    std::atomic<int> requests{0};
    HttpTestServer server{[this](httplib::Server& routes) {
        // Counted before the answer goes out, so that a run that has ended has counted all.
        routes.set_pre_routing_handler([this](const httplib::Request&, httplib::Response&) {
            ++requests;
            return httplib::Server::HandlerResponse::Unhandled;
        });
        addPageRoutes(routes);
    }};
};

TEST_F(LinkCheckRun, ASecondRunReplacesTheRowsOfTheFirst) {
    load({shortcut("a.url", server.url("/ok")), shortcut("b.url", server.url("/missing")),
          shortcut("c.url", server.url("/empty"))});
    runCheck();
    writeFile(QStringLiteral("VOR/url.txt"), (shortcut("d.url", server.url("/missing-cookie")) +
                                              "\r\n" + shortcut("e.url", "ftp://x.y/"))
                                                 .toUtf8());
    const int requestsBefore = requests;
    Label5_Click(*form);
    Label5_Click(*form); // asks whether to stop the run in progress: No
    EXPECT_EQ(platform->questions, QStringList{"Stop checking links?"});
    ASSERT_TRUE(QTest::qWaitFor([this] { return !checker().running(); }, 20000));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("DONE! - Vorlan"));
    EXPECT_EQ(requests, requestsBefore + 1);
    EXPECT_EQ(rows(), QStringList({server.url("/missing-cookie") + " | POOR",
                                   "ftp://x.y/ | 35771 Invalid URL"}));
    EXPECT_TRUE(form->StoredHEADERS[0].contains(QStringLiteral("session=1")));
    EXPECT_EQ(form->StoredHEADERS[1], QString());
}

// From the keyboard: F5 starts a run, the caption counts its rows, Escape stops it at once
// and a second "Check Link status" stops it when the answer is Yes; the rows stay.
TEST_F(LinkCheckRun, KeysStartAndStopARunThatTheCaptionCounts) {
    const RawHttpServer silent("");
    QStringList lines = {shortcut("ok.url", server.url("/ok"))};
    for (int i = 0; i < 5; ++i)
        lines.append(shortcut(QStringLiteral("s%1.url").arg(i), silent.url("/")));
    load(lines);
    activate(form.get());
    const QString oneRow = server.url("/ok") + " | GOOD";
    QTest::keyClick(form.get(), Qt::Key_F5);
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return form->windowTitle() == QStringLiteral("Checking: [1 of 6] - Vorlan"); },
        10000));
    QTest::keyClick(form.get(), Qt::Key_Escape);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("STOPPED! - Vorlan"));
    EXPECT_FALSE(checker().running());
    EXPECT_EQ(checker().inet().activeTransfers(), 0);
    EXPECT_EQ(rows(), QStringList{oneRow});

    platform->yesNoAnswers = {false, true};
    QTest::keyClick(form.get(), Qt::Key_F5);
    ASSERT_TRUE(QTest::qWaitFor([this] { return form->List4->count() == 1; }, 10000));
    QTest::mouseClick(form->Label5, Qt::LeftButton);
    EXPECT_TRUE(checker().running());
    QTest::mouseClick(form->Label5, Qt::LeftButton);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("STOPPED! - Vorlan"));
    EXPECT_EQ(platform->questions, QStringList(2, QStringLiteral("Stop checking links?")));
    QTest::qWait(50);
    EXPECT_EQ(rows(), QStringList{oneRow});
}

TEST_F(LinkCheckRun, CtrlESavesTheCheckResultsByTheFileNamesExtension) {
    activate(form.get());
    QTest::keyClick(form.get(), Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(platform->messages, QStringList{"There are no check results to save yet."});
    load({shortcut("a,b.url", server.url("/ok")), shortcut("c.url", server.url("/missing"))});
    runCheck();
    const QString json = programFolder() + "/results.json";
    const QString csv = programFolder() + "/results.csv";
    platform->saveFileAnswers = {json, csv};
    QTest::keyClick(form.get(), Qt::Key_E, Qt::ControlModifier);
    form->SaveResults->trigger();
    const QJsonArray rows = QJsonDocument::fromJson(fileBytes(json)).array();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[1][QStringLiteral("status")].toString(), QStringLiteral("POOR"));
    EXPECT_EQ(rows[1][QStringLiteral("code")].toInt(), 404);
    EXPECT_TRUE(rows[0][QStringLiteral("header")].toString().startsWith("HTTP/1.1 200 OK"));
    EXPECT_EQ(fileBytes(csv), "shortcut,address,status,code,final_address\r\n\"" +
                                  shortcut("a,b.url", server.url("/ok")).toUtf8() + "\"," +
                                  server.url("/ok").toUtf8() + ",GOOD,200," +
                                  server.url("/ok").toUtf8() + "\r\n" +
                                  shortcut("c.url", server.url("/missing")).toUtf8() + "," +
                                  server.url("/missing").toUtf8() + ",POOR,404," +
                                  server.url("/missing").toUtf8() + "\r\n");
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
