// Fills a check history to its bounds, N addresses (100,000) with 20 results each, and prints
// one figure per line: its size on disk, and what a run of R rows (10,000) costs on it: the
// history of each row's address, writing the rows in one batch, and the run's end with its
// pruning.
//   history_bench [--addresses N] [--rows R]
#include "history/CheckHistory.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <string>

using namespace vorlan;

namespace {

QString addressOf(qint64 i) {
    return QStringLiteral("https://host%1.example/path/page%2.html").arg(i % 997).arg(i);
}

// Every address's results, a day apart, the last one failed; written straight into the
// tables, as a history of that age would hold them.
bool fill(const QString& path, int addresses) {
    Result<sqlite::Database> db = sqlite::Database::open(path);
    if (!db.ok())
        return false;
    const std::string sql =
        "BEGIN;"
        "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < " +
        std::to_string(CheckHistory::kResultsPerAddress - 1) +
        ") INSERT INTO runs(id, started_at, ended_at) SELECT i + 1, (1767225600000 + i * "
        "86400000), (1767225600000 + i * 86400000) FROM n;"
        "WITH RECURSIVE a(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM a WHERE i < " +
        std::to_string(addresses - 1) +
        ") INSERT INTO links(id, address, last_checked) SELECT i + 1,"
        " 'https://host' || (i % 997) || '.example/path/page' || i || '.html',"
        " 1767225600000 + 19 * 86400000 FROM a;"
        "INSERT INTO shortcuts(id, path) SELECT id, '/home/me/Links/page' || id || '.url'"
        " FROM links;"
        "INSERT INTO results(link_id, run_id, checked_at, shortcut_id, status, code, hops, good,"
        " failing_since, last_good, failures)"
        " SELECT links.id, runs.id, runs.started_at, links.id,"
        " CASE WHEN runs.id = 20 THEN '35751 Cannot open URL' ELSE 'GOOD' END, 200, '',"
        " runs.id < 20, CASE WHEN runs.id = 20 THEN runs.started_at END,"
        " 1767225600000 + 18 * 86400000, runs.id = 20 FROM links, runs"
        " ORDER BY runs.id, links.id;"
        "COMMIT;";
    return db.value().execute(sql.c_str()).ok();
}

int option(int argc, char** argv, const char* name, int fallback) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], name) == 0)
            return std::atoi(argv[i + 1]);
    }
    return fallback;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const int addresses = option(argc, argv, "--addresses", 100'000);
    const int rows = option(argc, argv, "--rows", 10'000);
    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("history.sqlite"));
    if (!CheckHistory::open(path).ok() || !fill(path, addresses)) {
        std::fprintf(stderr, "cannot fill %s\n", qPrintable(path));
        return 1;
    }
    CheckHistory history = CheckHistory::open(path).value();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    history.beginRun(now);

    QElapsedTimer timer;
    timer.start();
    std::vector<HistoryEntry> entries;
    for (int i = 0; i < rows; ++i) {
        const qint64 spread = qint64(i) * addresses / rows; // rows spread over the addresses
        CheckedLink link;
        link.shortcutPath = QStringLiteral("/home/me/Links/page%1.url").arg(spread + 1);
        link.address = link.finalAddress = addressOf(spread);
        link.status = QStringLiteral("GOOD");
        link.code = 200;
        link.good = true;
        const Result<AddressHistory> known = history.historyOf(link.address, true, now);
        if (!known.ok() || known.value().previousStatus.isEmpty()) {
            std::fprintf(stderr, "no history for %s\n", qPrintable(link.address));
            return 1;
        }
        entries.push_back({std::move(link), now, known.value()});
    }
    const double lookups = timer.nsecsElapsed() / 1e6;
    timer.restart();
    const bool written = history.record(entries).ok();
    const double writing = timer.nsecsElapsed() / 1e6;
    timer.restart();
    const bool ended = history.endRun(false, now).ok();
    const double ending = timer.nsecsElapsed() / 1e6;

    qint64 bytes = 0;
    for (const char* suffix : {"", "-wal"})
        bytes += QFileInfo(path + QLatin1String(suffix)).size();
    std::printf("command: history_bench --addresses %d --rows %d\n", addresses, rows);
    std::printf("history: %d addresses x %d results, %.1f MB on disk\n", addresses,
                CheckHistory::kResultsPerAddress, bytes / 1e6);
    std::printf("the history of %d rows' addresses: %.1f ms\n", rows, lookups);
    std::printf("writing the %d rows in one batch: %.1f ms\n", rows, writing);
    std::printf("ending the run, pruning included: %.1f ms\n", ending);
    return written && ended ? 0 : 1;
}
