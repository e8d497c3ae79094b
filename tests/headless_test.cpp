// The check without a window, run as the real program against local servers.
#include "HttpTestServer.h"
#include "ShortcutSet.h"

#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vorlan::test;

namespace {

QByteArray answer(const char* status, const QByteArray& extraHeader, const QByteArray& body) {
    return "HTTP/1.1 " + QByteArray(status) + "\r\n" + extraHeader +
           "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" +
           body;
}

struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

// Shortcuts named to need quoting and escaping: GOOD after a redirect, POOR, no address.
class Headless : public ::testing::Test {
  protected:
    // Runs the program with no display, this process's event loop serving the servers.
    static Outcome run(const QStringList& arguments) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));
        process.setProcessEnvironment(environment);
        QSignalSpy finished(&process, &QProcess::finished);
        process.start(QStringLiteral(VORLAN_EXE), arguments);
        if (!finished.wait(60000))
            process.kill();
        process.waitForFinished();
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

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

TEST_F(Headless, WritesTheRowsInOrderInEachFormat) {
    const QString csv =
        rows(QStringLiteral("shortcut,address,status,code,final_address\r\n"
                            "\"%1\",%4,GOOD,200,%5\r\n"
                            "\"%2\",%6,POOR,404,%6\r\n"
                            "%3,,35752 Bad URL,0,\r\n"))
            .replace(QStringLiteral("\"quoted\""), QStringLiteral("\"\"quoted\"\""));
    const QString tsv = rows(QStringLiteral("shortcut\taddress\tstatus\tcode\tfinal_address\n"
                                            "%1\t%4\tGOOD\t200\t%5\n"
                                            "%2\t%6\tPOOR\t404\t%6\n"
                                            "%3\t\t35752 Bad URL\t0\t\n"))
                            .replace(QStringLiteral("no\taddress"), QStringLiteral("no\\taddress"));
    const QString json =
        rows(QStringLiteral(
                 "[\n"
                 "  {\"shortcut\": \"%1\", \"address\": \"%4\", \"status\": \"GOOD\", \"code\": "
                 "200, \"final_address\": \"%5\", \"header\": \"HTTP/1.1 200 OK\\r\\nContent-Type: "
                 "text/html\\r\\nContent-Length: 9\\r\\nConnection: close\"},\n"
                 "  {\"shortcut\": \"%2\", \"address\": \"%6\", \"status\": \"POOR\", \"code\": "
                 "404, \"final_address\": \"%6\", \"header\": \"HTTP/1.1 404 Not "
                 "Found\\r\\nContent-Length: 4\\r\\nConnection: close\"},\n"
                 "  {\"shortcut\": \"%3\", \"address\": \"\", \"status\": \"35752 Bad URL\", "
                 "\"code\": 0, \"final_address\": \"\", \"header\": \"\"}\n"
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
    const QString row = QStringLiteral("%1\t%2\tGOOD\t200\t%3\n")
                            .arg(single, moved_.url("/start"), ok_.url("/page"));
    const QString header = QStringLiteral("shortcut\taddress\tstatus\tcode\tfinal_address\n");
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

} // namespace
