// What the window shows of a check run, and the keys and commands around one.
#include "HttpTestServer.h"
#include "WindowActions.h"
#include "WindowFixture.h"

#include <QApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>
#include <QTimer>
#include <functional>
#include <map>

using namespace vorlan;
using namespace vorlan::test;
using namespace std::chrono_literals;

class LinkCheckRun : public WindowFixture {
  protected:
    HttpTestServer server{addPageRoutes};
};

TEST_F(LinkCheckRun, ASecondRunReplacesTheRowsOfTheFirst) {
    load({shortcut("a.url", server.url("/ok")), shortcut("b.url", server.url("/missing"))});
    platform->inputAnswers = {programFolder() + "/nowhere"};
    form->Check3->setChecked(true);
    runCheck();
    EXPECT_EQ(platform->messages,
              QStringList{"2 pages could not be saved; the first:\r\nCannot write the file " +
                          programFolder() + "/nowhere/a.htm: No such file or directory"});
    form->Check3->setChecked(false);
    load({shortcut("d.url", server.url("/missing")), shortcut("e.url", "ftp://x.y/")});
    Label5_Click(*form);
    // The run ends while the stop question is open: the question closes, a late Yes is moot.
    platform->yesNoAnswers = {true};
    platform->whileDialogOpen = [this] {
        ASSERT_TRUE(QTest::qWaitFor([this] { return !checker().running(); }, 20000));
    };
    Label5_Click(*form);
    platform->whileDialogOpen = nullptr;
    EXPECT_EQ(platform->questions, QStringList{"Stop checking links?"});
    EXPECT_EQ(platform->questionsDismissed, 1);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("DONE! - Vorlan"));
    EXPECT_EQ(rows(),
              QStringList({server.url("/missing") + " | POOR", "ftp://x.y/ | 35771 Invalid URL"}));
    EXPECT_TRUE(form->StoredHEADERS[0].startsWith(QStringLiteral("HTTP/1.1 404")));
    EXPECT_EQ(form->StoredHEADERS[1], QString());
}

TEST_F(LinkCheckRun, ADamagedHistoryIsToldOnceAndTheRunGoesOn) {
    writeFile(QStringLiteral("VOR/history.sqlite"), QByteArray(4096, 'x'));
    load({shortcut("a.url", server.url("/ok"))});
    runCheck();
    EXPECT_EQ(rows(), QStringList{server.url("/ok") + " | GOOD"});
    ASSERT_EQ(platform->messages.size(), 1);
    EXPECT_TRUE(platform->messages[0].startsWith("The check history could not be opened: "));
}

// F5 starts, the caption counts, Escape or a second click answered Yes stops; the rows stay.
TEST_F(LinkCheckRun, KeysStartAndStopARunThatTheCaptionCounts) {
    const RawHttpServer silent("");
    QStringList lines = {shortcut("ok.url", server.url("/ok"))};
    for (int i = 0; i < 5; ++i)
        lines.append(shortcut(QStringLiteral("s%1.url").arg(i), silent.url("/")));
    load(lines);
    activate(form.get());
    const QStringList oneRow = {server.url("/ok") + " | GOOD"};
    QTest::keyClick(form.get(), Qt::Key_F5);
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return form->windowTitle() == QStringLiteral("Checking: [1 of 6] - Vorlan"); },
        10000));
    QTest::keyClick(form.get(), Qt::Key_Escape);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("STOPPED! - Vorlan"));
    EXPECT_EQ(checker().inet().activeTransfers(), 0);
    EXPECT_EQ(rows(), oneRow);
    platform->yesNoAnswers = {true};
    QTest::keyClick(form.get(), Qt::Key_F5);
    ASSERT_TRUE(QTest::qWaitFor([this] { return form->List4->count() == 1; }, 10000));
    QTest::mouseClick(form->Label5, Qt::LeftButton);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("STOPPED! - Vorlan"));
    QTest::qWait(50);
    EXPECT_EQ(rows(), oneRow);
}

TEST_F(LinkCheckRun, CtrlESavesTheCheckResultsByTheFileNamesExtension) {
    activate(form.get());
    QTest::keyClick(form.get(), Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(platform->messages, QStringList{"There are no check results to save yet."});
    load({shortcut("a.url", server.url("/ok")), shortcut("c.url", server.url("/missing"))});
    runCheck();
    const QString json = programFolder() + "/results.json";
    platform->saveFileAnswers = {json};
    QTest::keyClick(form.get(), Qt::Key_E, Qt::ControlModifier);
    const QJsonArray rows = QJsonDocument::fromJson(fileBytes(json)).array();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[1][QStringLiteral("code")].toInt(), 404);
    EXPECT_TRUE(rows[0][QStringLiteral("header")].toString().startsWith("HTTP/1.1 200 OK"));
}

TEST_F(LinkCheckRun, RefusesToStartWithoutAUsableResultFile) {
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
    };
    for (const auto& c : cases) {
        platform->messages.clear();
        fillList(form->List1, c.list1);
        QFile::remove(workingFolder() + "/url.txt");
        if (c.resultFile != "-")
            writeFile(QStringLiteral("VOR/url.txt"), c.resultFile);
        Label5_Click(*form);
        EXPECT_FALSE(checker().running());
        EXPECT_EQ(platform->messages, QStringList{QString::fromUtf8(c.message)});
    }
}

TEST_F(LinkCheckRun, RowsBeyond5000KeepTheirHeaderText) {
    QStringList lines(5001);
    lines.append(shortcut("last.url", server.url("/ok")));
    load(lines);
    runCheck();
    ASSERT_EQ(form->List4->count(), 5002);
    form->List3->setListIndex(5001);
    EXPECT_TRUE(form->Text2->toPlainText().startsWith(QStringLiteral("HTTP/1.1 200 OK\n")));
}

TEST_F(WindowFixture, ResultRowsSelectEverywhereAndShowTheirHeader) {
    activate(form.get());
    QStringList shortcuts;
    for (int i = 0; i < 5; ++i)
        shortcuts.append(writeFile(QStringLiteral("web/%1.url").arg(i),
                                   QStringLiteral("URL=site%1.example/").arg(i).toUtf8()));
    fillList(form->List1, shortcuts);
    fillList(form->List3, shortcuts);
    fillList(form->List4, {"GOOD", "POOR", "0 ", "GOOD", "GOOD"});
    form->StoredHEADERS = {"h0", "h1", "", "h3", "h4"};
    form->Check1->setChecked(true);
    EXPECT_TRUE(form->List2->isHidden());
    clickRow(form->List3, 3);
    EXPECT_EQ(form->List4->listIndex(), 3);
    EXPECT_EQ(form->List1->listIndex(), 3);
    EXPECT_EQ(itemTexts(form->List2), QStringList{"URL=site3.example/"});
    EXPECT_EQ(form->Text2->toPlainText(), QStringLiteral("h3"));
    clickRow(form->List4, 2); // no stored header: Text2 keeps its text
    EXPECT_EQ(form->List3->listIndex(), 2);
    EXPECT_EQ(form->Text2->toPlainText(), QStringLiteral("h3"));
    delete form->List1->takeItem(4);
    clickRow(form->List4, 4);
    EXPECT_EQ(form->List1->listIndex(), 2);
    EXPECT_EQ(form->Text2->toPlainText(), QStringLiteral("h4"));
    form->Check1->setChecked(false);
    EXPECT_TRUE(form->List4->isHidden());
    EXPECT_FALSE(form->List2->isHidden());
}

// Runs one slow request at a time.
class SlowRun : public WindowFixture {
  protected:
    HttpTestServer server{[](httplib::Server& routes) {
        routes.Get(R"(/slow/\d+)", [](const httplib::Request&, httplib::Response& res) {
            std::this_thread::sleep_for(60ms);
            res.set_content("page", "text/plain");
        });
    }};
    // Runs `command` once the given row has been added to the results.
    void afterRow(const std::map<int, std::function<void()>>& commands) {
        connection = QObject::connect(form->List4->model(), &QAbstractItemModel::rowsInserted,
                                      form.get(), [this, commands](const QModelIndex&, int row) {
                                          const auto command = commands.find(row + 1);
                                          if (command != commands.end())
                                              QTimer::singleShot(0, form.get(), command->second);
                                      });
        checker().limits = {1, 1};
    }
    QMetaObject::Connection connection;
};

// During a run, commands that change what it reads are refused; closing the window ends it.
TEST_F(SlowRun, CommandsLeaveTheRowsCorrectOrAreRefused) {
    const QStringList expected =
        load(files.numberedItems(16, "s%1.url", server.url("/slow/%1"), "GOOD"));
    form->Text1->setText(programFolder());
    int rowsWhenClosed = 0;
    afterRow({
        {1, [this] { form->Command1->click(); }},
        {2, [this] { form->Load->trigger(); }},
        {3,
         [this] {
             platform->inputAnswers = {programFolder()};
             QTest::mouseClick(form->Label4, Qt::LeftButton);
         }},
        {4, [this] { form->Command8->click(); }},
        {6,
         [&] {
             rowsWhenClosed = form->List4->count();
             form->close();
         }},
    });
    QTest::mouseClick(form->Label5, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !checker().running(); }, 30000));
    QTest::qWait(200); // a run that went on would add rows meanwhile
    ASSERT_GE(rowsWhenClosed, 6);
    EXPECT_EQ(rows(), expected.first(rowsWhenClosed));
    EXPECT_EQ(checker().inet().activeTransfers(), 0);
    EXPECT_EQ(platform->messages, QStringList(2, QStringLiteral("A link check is in progress.")));
    EXPECT_TRUE(platform->listingRuns.isEmpty());
    EXPECT_EQ(form->List1->count(), 16);
    EXPECT_TRUE(QFile::exists(programFolder() + "/urlLIST.htm"));
    EXPECT_EQ(platform->shellOpens, QStringList{workingFolder() + "/hINFOforN.txt"});
    for (QWidget* window : QApplication::topLevelWidgets())
        EXPECT_TRUE(window->isHidden()) << window->objectName().toStdString();
}

// Pages committed while the folder question is open are saved once answered, none if cancelled.
TEST_F(SlowRun, PagesWaitForTheFolderQuestionsAnswer) {
    const QString folder = programFolder() + "/pages";
    QDir().mkpath(folder);
    for (const QString& answer : {folder, QString()}) {
        const QChar prefix = answer.isEmpty() ? u'b' : u'a';
        QStringList paths;
        for (int i = 0; i < 6; ++i)
            paths.append(shortcut(prefix + QString::number(i) + ".url", server.url("/slow/1")));
        load(paths);
        // The question stays open while two more rows are committed, as a person takes time.
        int asked = 0;
        platform->whileDialogOpen = [this, &asked] {
            asked = form->List4->count();
            EXPECT_TRUE(QTest::qWaitFor([&] { return form->List4->count() >= asked + 2; }, 10000));
        };
        afterRow({{1, [this, answer] {
                       platform->inputAnswers = {answer};
                       form->Check3->setChecked(true);
                   }}});
        runCheck();
        QObject::disconnect(connection);
        platform->whileDialogOpen = nullptr;
        EXPECT_EQ(form->Check3->isChecked(), !answer.isEmpty());
        if (!answer.isEmpty()) {
            QStringList expected;
            for (int row = asked; row < 6; ++row)
                expected.append(QStringLiteral("a%1.htm").arg(row));
            EXPECT_EQ(QDir(folder).entryList(QDir::Files, QDir::Name), expected);
            EXPECT_EQ(fileBytes(folder + "/a5.htm"), "page\r\n");
        }
        EXPECT_EQ(QDir(folder).entryList({"b*"}, QDir::Files), QStringList());
        form->Check3->setChecked(false);
    }
    EXPECT_TRUE(platform->messages.isEmpty());
    EXPECT_EQ(platform->inputDefaults, QStringList(2, programFolder() + "/HTMLs"));
}
