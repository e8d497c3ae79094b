// The check without a window, run as the real program against local servers.
#include "HttpTestServer.h"
#include "ShortcutSet.h"
#include "history/Sqlite.h"

#include <QDateTime>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <csignal>
#include <gtest/gtest.h>
#include <thread>

using namespace vorlan::test;
using namespace std::chrono_literals;

namespace {

QByteArray answer(const char* status, const QByteArray& extraHeader, const QByteArray& body) {
    return "HTTP/1.1 " + QByteArray(status) + "\r\n" + extraHeader +
           "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" +
           body;
}

// "/slow/<n>": a page that takes 200 ms.
void addSlowPages(httplib::Server& routes) {
    routes.Get(R"(/slow/\d+)", [](const httplib::Request&, httplib::Response& res) {
        std::this_thread::sleep_for(200ms);
        res.set_content("page", "text/html");
    });
}

struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

// Shortcuts named to need quoting and escaping: GOOD after a redirect, POOR, no address.
class Headless : public ::testing::Test {
  protected:
    // Starts the program with no display, recording no history unless told where.
    static std::unique_ptr<QProcess> start(QStringList arguments) {
        if (!arguments.contains(QStringLiteral("--history")))
            arguments.append(QStringLiteral("--no-history"));
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));
        process->setProcessEnvironment(environment);
        process->start(QStringLiteral(VORLAN_EXE), arguments);
        return process;
    }
    // Waits for it, this process's event loop serving the servers.
    static Outcome finish(QProcess& process) {
        if (!QTest::qWaitFor([&process] { return process.state() == QProcess::NotRunning; }, 60000))
            process.kill();
        process.waitForFinished();
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }
    static Outcome run(const QStringList& arguments) { return finish(*start(arguments)); }

    // %1 to %6: the three shortcut paths, the redirecting address and where it leads, the 404.
    QString rows(const QString& pattern) const {
        return pattern.arg(goodPath, poorPath, failingPath, moved_.url("/start"), ok_.url("/page"),
                           missing_.url("/gone"));
    }

    QTemporaryDir folder_;
    QTemporaryDir elsewhere_;
    RawHttpServer ok_{answer("200 OK", "Content-Type: text/html\r\n", "<p>ok</p>")};
    RawHttpServer missing_{answer("404 Not Found", {}, "gone")};
    RawHttpServer moved_{
        answer("301 Moved Permanently", "Location: " + ok_.url("/page").toUtf8() + "\r\n", {})};
    const ShortcutSet files{folder_.path()};
    const QString goodPath =
        files.file(QStringLiteral("1 good, \"quoted\".url"),
                   "[InternetShortcut]\r\nURL=" + moved_.url("/start").toUtf8());
    const QString poorPath =
        files.file(QStringLiteral("2 missing, ü.url"),
                   "[InternetShortcut]\r\nURL=" + missing_.url("/gone").toUtf8());
    const QString failingPath =
        files.file(QStringLiteral("3 no\taddress Ä.url"), "[InternetShortcut]\r\n");
};

// Without a history, its three keys are empty.
#define HISTORY "\"previous_status\": \"\", \"failing_since\": \"\", \"last_good\": \"\", "

TEST_F(Headless, WritesTheRowsInOrderInEachFormat) {
    const QString csv =
        rows(QStringLiteral("shortcut,address,status,code,final_address,previous_status,"
                            "failing_since,last_good\r\n"
                            "\"%1\",%4,GOOD,200,%5,,,\r\n"
                            "\"%2\",%6,POOR,404,%6,,,\r\n"
                            "%3,,35752 Bad URL,0,,,,\r\n"))
            .replace(QStringLiteral("\"quoted\""), QStringLiteral("\"\"quoted\"\""));
    const QString tsv = rows(QStringLiteral("shortcut\taddress\tstatus\tcode\tfinal_address\t"
                                            "previous_status\tfailing_since\tlast_good\n"
                                            "%1\t%4\tGOOD\t200\t%5\t\t\t\n"
                                            "%2\t%6\tPOOR\t404\t%6\t\t\t\n"
                                            "%3\t\t35752 Bad URL\t0\t\t\t\t\n"))
                            .replace(QStringLiteral("no\taddress"), QStringLiteral("no\\taddress"));
    const QString json =
        rows(QStringLiteral(
                 "[\n"
                 "  {\"shortcut\": \"%1\", \"address\": \"%4\", \"status\": \"GOOD\", \"code\": "
                 "200, \"final_address\": \"%5\", " HISTORY
                 "\"header\": \"HTTP/1.1 200 OK\\r\\nContent-Type: "
                 "text/html\\r\\nContent-Length: 9\\r\\nConnection: close\"},\n"
                 "  {\"shortcut\": \"%2\", \"address\": \"%6\", \"status\": \"POOR\", \"code\": "
                 "404, \"final_address\": \"%6\", " HISTORY "\"header\": \"HTTP/1.1 404 Not "
                 "Found\\r\\nContent-Length: 4\\r\\nConnection: close\"},\n"
                 "  {\"shortcut\": \"%3\", \"address\": \"\", \"status\": \"35752 Bad URL\", "
                 "\"code\": 0, \"final_address\": \"\", " HISTORY "\"header\": \"\"}\n"
                 "]\n"))
            .replace(QStringLiteral("\"quoted\""), QStringLiteral("\\\"quoted\\\""))
            .replace(QStringLiteral("no\taddress"), QStringLiteral("no\\taddress"));
    const QString tsvFile = elsewhere_.filePath(QStringLiteral("report.tsv"));
    const QString jsonFile = elsewhere_.filePath(QStringLiteral("report.csv"));
    const struct {
        QStringList options;
        QString outputFile; // empty: stdout
        QString expected;
    } cases[] = {
        {{QStringLiteral("--format"), QStringLiteral("CSV")}, {}, csv},
        {{QStringLiteral("--output"), tsvFile}, tsvFile, tsv},
        {{QStringLiteral("--output"), jsonFile, QStringLiteral("--format"), QStringLiteral("json")},
         jsonFile,
         json},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options.join(u' ').toStdString());
        const Outcome outcome =
            run(QStringList{QStringLiteral("--check"), folder_.path()} + c.options);
        EXPECT_EQ(outcome.exitCode, 1);
        EXPECT_EQ(outcome.err, QString()); // progress only on a terminal
        EXPECT_EQ(c.outputFile.isEmpty() ? outcome.out : QString::fromUtf8(fileBytes(c.outputFile)),
                  c.expected);
    }
}

TEST_F(Headless, ExitStatusTellsWhetherAllIsGoodOrWhatIsWrong) {
    const ShortcutSet other(elsewhere_.path());
    const QString single = other.file(QStringLiteral("Only.URL"), fileBytes(goodPath));
    const QString list =
        other.file(QStringLiteral("url.txt"), (single + "\r\n\r\n" + single + "\n").toUtf8());
    const QString row = QStringLiteral("%1\t%2\tGOOD\t200\t%3\t\t\t\n")
                            .arg(single, moved_.url("/start"), ok_.url("/page"));
    const QString header = QStringLiteral("shortcut\taddress\tstatus\tcode\tfinal_"
                                          "address\tprevious_status\tfailing_since\tlast_good\n");
    const QString absent = folder_.filePath(QStringLiteral("absent ü"));
    const QString check = QStringLiteral("--check");
    const QString pages = elsewhere_.filePath(QStringLiteral("pages"));
    // A folder in the place of one page's file keeps that page from being saved.
    ASSERT_TRUE(QDir().mkpath(pages + QStringLiteral("/2 missing, ü.htm")));
    const struct {
        QStringList arguments;
        int exitCode;
        QString outContains;
        QString errContains;
    } cases[] = {
        {{check, single}, 0, header + row, {}},
        {{check, list}, 0, header + row + row, {}},
        {{check, absent}, 2, {}, absent},
        {{check, folder_.path(), QStringLiteral("--frobnicate")}, 2, {}, "--frobnicate"},
        {{check, folder_.path(), QStringLiteral("--download"), absent}, 2, {}, absent},
        {{check, folder_.path(), QStringLiteral("--download"), pages}, 1, {}, "1 page could not"},
        {{QStringLiteral("--format"), QStringLiteral("csv")}, 2, {}, "--check PATH"},
        {{QStringLiteral("--version")}, 0, QStringLiteral("Vorlan 1.0\n"), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const Outcome outcome = run(c.arguments);
        EXPECT_EQ(outcome.exitCode, c.exitCode);
        EXPECT_TRUE(outcome.out.contains(c.outContains)) << outcome.out.toStdString();
        EXPECT_TRUE(outcome.err.contains(c.errContains)) << outcome.err.toStdString();
    }
    EXPECT_EQ(fileBytes(pages + QStringLiteral("/1 good, \"quoted\".htm")), "<p>ok</p>\r\n");
}

// Three checks of a link that is GOOD, then broken twice: the third row tells since when.
TEST_F(Headless, RecordsEveryCheckAndReportsWhatTheHistoryTells) {
    std::atomic<int> answers = 0;
    HttpTestServer flaky([&answers](httplib::Server& routes) {
        routes.Get("/flaky", [&answers](const httplib::Request&, httplib::Response& res) {
            res.status = answers++ == 0 ? 200 : 404;
            res.set_content("page", "text/html");
        });
    });
    const QString link =
        ShortcutSet(elsewhere_.path())
            .file(QStringLiteral("flaky.url"), "URL=" + flaky.url("/flaky").toUtf8());
    const QString history = elsewhere_.filePath(QStringLiteral("history.sqlite"));
    QList<QDateTime> times = {QDateTime::currentDateTimeUtc()};
    QStringList lastRow;
    for (int run = 0; run < 3; ++run) {
        const Outcome outcome =
            this->run({QStringLiteral("--check"), link, QStringLiteral("--history"), history});
        EXPECT_EQ(outcome.err, QString());
        lastRow = outcome.out.split(u'\n')[1].split(u'\t');
        times.append(QDateTime::currentDateTimeUtc());
    }
    ASSERT_EQ(lastRow.size(), 8);
    EXPECT_EQ(lastRow[5], QStringLiteral("POOR"));
    // Times to the second: between the start and the end of their runs.
    const auto within = [&times](const QString& time, int run) {
        const QDateTime at = QDateTime::fromString(time, Qt::ISODate);
        return at.timeSpec() == Qt::UTC && at >= times[run].addMSecs(-times[run].time().msec()) &&
               at <= times[run + 1];
    };
    EXPECT_TRUE(within(lastRow[6], 1)) << lastRow[6].toStdString();
    EXPECT_TRUE(within(lastRow[7], 0)) << lastRow[7].toStdString();
}

// A tidy checks the folder, lists its plan, applies what is selected, and is undone.
TEST_F(Headless, TidiesAFolderAndUndoesIt) {
    const QString history = elsewhere_.filePath(QStringLiteral("history.sqlite"));
    const QByteArray before = fileBytes(goodPath);
    const QStringList tidy = {QStringLiteral("--tidy"), folder_.path(), QStringLiteral("--history"),
                              history};
    const Outcome applied = run(tidy + QStringList{QStringLiteral("--apply")});
    EXPECT_EQ(applied.exitCode, 0) << applied.err.toStdString();
    const QString aside = folder_.path() + QStringLiteral(" - set aside/2 missing, ü.url");
    EXPECT_EQ(applied.out,
              QStringLiteral("action\tshortcut\tnow\tproposed\twhy\tselected\toutcome\n"
                             "rewrite\t%1\t%2\t%3\tmoved permanently (301) to %3\tyes\tdone\n"
                             "set aside\t%4\t%4\t%5\tbroken in 1 check since %6\tno\t\n")
                  .arg(goodPath, moved_.url("/start"), ok_.url("/page"), poorPath, aside,
                       QDateTime::currentDateTimeUtc().date().toString(Qt::ISODate)));
    EXPECT_EQ(fileBytes(goodPath), "[InternetShortcut]\r\nURL=" + ok_.url("/page").toUtf8());
    const Outcome undone =
        run({QStringLiteral("--undo-tidy"), QStringLiteral("--history"), history});
    EXPECT_EQ(undone.out, goodPath + QStringLiteral("\tdone\n"));
    EXPECT_EQ(fileBytes(goodPath), before);
}

// A history that cannot be used is told once, and the check goes on: its rows are right.
TEST_F(Headless, AnUnusableHistoryIsToldAndTheCheckGoesOn) {
    const QString damaged = ShortcutSet(elsewhere_.path())
                                .file(QStringLiteral("damaged.sqlite"), QByteArray(4096, 'x'));
    const QString told = QStringLiteral("Vorlan: The check history could not be opened: ");
    for (const QString& history : {damaged, QStringLiteral("/proc/self/none/history.sqlite")}) {
        const Outcome outcome =
            run({QStringLiteral("--check"), goodPath, QStringLiteral("--history"), history});
        EXPECT_EQ(outcome.exitCode, 0);
        EXPECT_TRUE(outcome.out.contains(QStringLiteral("\tGOOD\t200\t")));
        EXPECT_TRUE(outcome.err.startsWith(told) && outcome.err.count(u'\n') == 1)
            << outcome.err.toStdString();
    }
    const QStringList aside =
        QDir(elsewhere_.path()).entryList({QStringLiteral("damaged.sqlite.*")});
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(fileBytes(elsewhere_.filePath(aside[0])), QByteArray(4096, 'x'));
}

// A run killed midway leaves a history that opens cleanly with the rows written so far; two
// runs at once both record every row.
TEST_F(Headless, TheHistoryOutlivesAKilledRunAndTakesTwoRunsAtOnce) {
    HttpTestServer slow(addSlowPages);
    const ShortcutSet set(elsewhere_.path());
    QByteArray lists[2];
    for (int i = 0; i < 60; ++i)
        lists[i % 2] += set.file(QStringLiteral("slow/%1.url").arg(i),
                                 "URL=" + slow.url(QStringLiteral("/slow/%1").arg(i)).toUtf8())
                            .toUtf8() +
                        '\n';
    const QString history = elsewhere_.filePath(QStringLiteral("history.sqlite"));
    const auto count = [&history](const char* sql) {
        vorlan::sqlite::Database db = vorlan::sqlite::Database::open(history).value();
        vorlan::sqlite::Statement query(db, sql);
        return query.step() ? query.text(0) : QStringLiteral("(none)");
    };
    const QString both = set.file(QStringLiteral("all.txt"), lists[0] + lists[1]);
    const auto killed =
        start({QStringLiteral("--check"), both, QStringLiteral("--history"), history});
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return count("SELECT count(*) FROM results").toInt() > 0; }, 30000));
    ::kill(pid_t(killed->processId()), SIGKILL);
    finish(*killed);
    EXPECT_EQ(count("PRAGMA integrity_check"), QStringLiteral("ok"));
    const int written = count("SELECT count(*) FROM results").toInt();
    EXPECT_GT(written, 0);

    std::unique_ptr<QProcess> runs[2];
    for (int i = 0; i < 2; ++i)
        runs[i] = start({QStringLiteral("--check"),
                         set.file(QStringLiteral("half%1.txt").arg(i), lists[i]),
                         QStringLiteral("--history"), history});
    for (auto& run : runs)
        EXPECT_EQ(finish(*run).exitCode, 0);
    EXPECT_EQ(count("SELECT count(*) FROM results JOIN runs ON runs.id = run_id"
                    " WHERE ended_at IS NOT NULL"),
              QStringLiteral("60"));
}

// Paths on standard input; Ctrl+C halfway gives a well-formed report of the rows so far.
TEST_F(Headless, PathsComeOnStdinAndSigintWritesTheRowsSoFar) {
    HttpTestServer slow(addSlowPages);
    QByteArray paths;
    for (int i = 0; i < 60; ++i)
        paths += ShortcutSet(elsewhere_.path())
                     .file(QStringLiteral("%1.url").arg(i),
                           "URL=" + slow.url(QStringLiteral("/slow/%1").arg(i)).toUtf8())
                     .toUtf8() +
                 '\n';
    const auto process = start({QStringLiteral("--check"), QStringLiteral("-"),
                                QStringLiteral("--format"), QStringLiteral("json")});
    process->write(paths);
    process->closeWriteChannel();
    QByteArray out;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return (out += process->readAllStandardOutput()).count('{') >= 2; }, 30000));
    ::kill(pid_t(process->processId()), SIGINT);
    const Outcome outcome = finish(*process);
    EXPECT_EQ(outcome.exitCode, 130);
    QJsonParseError error{};
    const QJsonArray rows = QJsonDocument::fromJson(out + outcome.out.toUtf8(), &error).array();
    EXPECT_EQ(error.error, QJsonParseError::NoError);
    EXPECT_TRUE(rows.size() >= 2 && rows.size() < 60) << rows.size();
    EXPECT_EQ(outcome.err, QStringLiteral("Stopped after %1 of 60 rows\n").arg(rows.size()));
}

} // namespace
