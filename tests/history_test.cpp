// The check history on real SQLite files in temporary folders.
#include "history/CheckHistory.h"
#include "history/HistoryRecorder.h"
#include "history/TidyPlan.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vorlan;

namespace {

class History : public ::testing::Test {
  protected:
    // One run that checks the links at `when`.
    void check(const std::vector<CheckedLink>& links, const QDateTime& when) {
        history.beginRun(when);
        std::vector<HistoryEntry> entries;
        for (const CheckedLink& link : links)
            entries.push_back(
                {link, when, history.historyOf(link.address, link.good, when).value()});
        ASSERT_TRUE(history.record(entries).ok());
        ASSERT_TRUE(history.endRun(false, when).ok());
    }
    // The first column of a query's rows.
    QStringList column(const char* sql) {
        sqlite::Statement query(raw, sql);
        QStringList values;
        while (query.step())
            values.append(query.text(0));
        return values;
    }

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("history.sqlite"));
    CheckHistory history = CheckHistory::open(path).value();
    sqlite::Database raw = sqlite::Database::open(path).value();
    const QDateTime start = QDateTime(QDate(2026, 1, 1), QTime(12, 0), Qt::UTC);
};

TEST_F(History, TellsSinceWhenALinkFailsAndKeepsWithinItsBounds) {
    const CheckedLink good{
        .address = QStringLiteral("http://a.test/"), .status = "GOOD", .good = true};
    CheckedLink broken = good;
    broken.status = QStringLiteral("35751 Cannot open URL");
    broken.good = false;
    check({good}, start);
    check({broken}, start.addDays(1));
    check({broken}, start.addDays(2));
    history.beginRun(start.addDays(3));
    EXPECT_EQ(history.historyOf(good.address, false, start.addDays(3)).value(),
              (AddressHistory{broken.status, start.addDays(1), start, 3}));
    EXPECT_EQ(history.historyOf(good.address, true, start.addDays(3)).value(),
              (AddressHistory{broken.status, std::nullopt, start.addDays(3), 0}));
    // The last 20 results of an address stay; one not checked for 365 days goes.
    const CheckedLink other{
        .address = QStringLiteral("http://b.test/"), .status = "GOOD", .good = true};
    for (int day = 3; day < 30; ++day)
        check({good}, start.addDays(day));
    check({other}, start.addDays(400));
    EXPECT_EQ(column("SELECT count(*) FROM results GROUP BY link_id"),
              QStringList{"1"}); // a.test last checked on day 29
    check({good}, start.addDays(401));
    for (int day = 402; day < 425; ++day)
        check({good, other}, start.addDays(day));
    EXPECT_EQ(column("SELECT count(*) FROM results GROUP BY link_id"), QStringList({"20", "20"}));
}

TEST_F(History, KeepsHostileTextByteForByte) {
    const QString quotes = QStringLiteral("http://q.test/'); DROP TABLE results; --\"");
    const QString controls = QStringLiteral("http://c.test/\t\r\n") + QChar(0) + QChar(1) + u'é';
    const QString huge = QStringLiteral("http://h.test/") + QString(100 * 1024, u'x');
    std::vector<CheckedLink> links;
    for (const QString& text : {quotes, controls, huge})
        links.push_back({.shortcutPath = text, .address = text, .status = text});
    check(links, start);
    const QStringList kept = {quotes, controls, huge};
    EXPECT_EQ(
        column("SELECT address FROM links JOIN results ON link_id = links.id ORDER BY results.id"),
        kept);
    EXPECT_EQ(column("SELECT path FROM shortcuts JOIN results ON shortcut_id = shortcuts.id ORDER "
                     "BY results.id"),
              kept);
    history.beginRun(start.addDays(1));
    EXPECT_EQ(history.historyOf(huge, true, start.addDays(1)).value().previousStatus, huge);
}

TEST_F(History, PlansMovedBrokenAndDuplicateShortcuts) {
    const auto link = [](const char* name, const char* address, bool good, const char* hops = "") {
        return CheckedLink{.shortcutPath = QStringLiteral("/links/") + name,
                           .address = address,
                           .status = good ? "GOOD" : "35751 Cannot open URL",
                           .hops = hops,
                           .good = good};
    };
    const CheckedLink broken = link("c.url", "http://c.test/", false);
    check({broken}, start);
    check({broken}, start.addDays(4));
    check({link("a.url", "http://a.test/x", true,
                "301 https://a.test/x\n308 https://www.a.test/x\n302 https://login.a.test/\n"),
           link("b.url", "http://b.test/deep/page", true, "301 https://b.test/\n"), broken,
           link("d.url", "http://d.test/", false),
           link("sub/e.url", "HTTP://A.test:80/x#top", true),
           link("f.url", "http://f.test/", true)},
          start.addDays(8));
    history.beginRun(start.addDays(9));
    const QStringList order = {"/links/a.url", "/links/b.url",     "/links/c.url",
                               "/links/d.url", "/links/sub/e.url", "/links/f.url"};
    const auto plan = planTidy(history, order, {.targetDirectory = "/links"}).value();
    QStringList seen;
    for (const TidyProposal& p : plan)
        seen.append(
            QStringList{p.shortcutPath, p.now, p.proposed, p.why, p.selected ? "yes" : "no"}.join(
                u'|'));
    EXPECT_EQ(seen,
              QStringList({
                  "/links/a.url|http://a.test/x|https://www.a.test/x|moved permanently (308) "
                  "to https://www.a.test/x|yes",
                  "/links/b.url|http://b.test/deep/page||redirects to the site's home page|no",
                  "/links/c.url|/links/c.url|/links - set aside/c.url|broken in 3 checks "
                  "since 2026-01-01|yes",
                  "/links/d.url|/links/d.url|/links - set aside/d.url|broken in 1 check "
                  "since 2026-01-09|no",
                  "/links/sub/e.url|/links/sub/e.url|/links - set aside/sub/e.url|same "
                  "address as /links/a.url|yes",
              }));
}

// Another program holds the history past the run's end: the rows wait and go in once it is free.
TEST_F(History, ARecorderWaitsOutALockWithoutBlocking) {
    ASSERT_TRUE(raw.execute("BEGIN EXCLUSIVE; INSERT INTO runs(id, started_at) VALUES(1, 0)").ok());
    HistoryRecorder recorder(path);
    QSignalSpy done(&recorder, &HistoryRecorder::done);
    QSignalSpy notRecorded(&recorder, &HistoryRecorder::notRecorded);
    recorder.record({.address = QStringLiteral("http://a.test/"), .status = "GOOD", .good = true});
    recorder.finish(false);
    EXPECT_TRUE(done.isEmpty());
    EXPECT_FALSE(done.wait(1500)); // tried again, still locked
    ASSERT_TRUE(raw.execute("COMMIT").ok());
    EXPECT_TRUE(done.wait(5000));
    EXPECT_TRUE(notRecorded.isEmpty());
    EXPECT_EQ(column("SELECT address FROM links"), QStringList{"http://a.test/"});
    EXPECT_EQ(column("SELECT count(*) FROM runs WHERE ended_at IS NOT NULL"), QStringList{"1"});
}

} // namespace
