// Writes N shortcut files (10,000) in folders of 100 and a check of them into a history, plans
// a tidy of P proposals (2,000) from it, half address rewrites and half moves into a set-aside
// folder, applies it and undoes it; prints one figure per line: the time of planning, of
// applying and of undoing, and whether the undo put every file back.
//   tidy_bench [--files N] [--proposals P]
#include "history/TidyApply.h"
#include "history/TidyPlan.h"
#include "platform/FileSystem.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstring>

using namespace vorlan;

namespace {

int option(int argc, char** argv, const char* name, int fallback) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], name) == 0)
            return std::atoi(argv[i + 1]);
    }
    return fallback;
}

QString nameOf(int i) {
    return QStringLiteral("folder%1/link%2.url").arg(i / 100).arg(i);
}

QString addressOf(int i) {
    return QStringLiteral("http://host%1.example/page%2.html").arg(i % 97).arg(i);
}

QByteArray shortcut(const QString& address) {
    return "[InternetShortcut]\r\nURL=" + address.toUtf8() + "\r\nIconIndex=0\r\n";
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const int files = option(argc, argv, "--files", 10'000);
    const int proposed = std::min(files, option(argc, argv, "--proposals", 2'000));
    const QTemporaryDir folder;
    const QDir links(folder.filePath(QStringLiteral("Links")));
    const QDir aside(folder.filePath(QStringLiteral("Links - set aside")));
    for (int i = 0; i < files; ++i) {
        const QString path = links.filePath(nameOf(i));
        if ((i % 100 == 0 && !QDir().mkpath(QFileInfo(path).path())) ||
            !writeFileAtomically(path, shortcut(addressOf(i))).ok()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    // One recorded check of every file: the proposed ones, spread over the files, moved
    // permanently and broken by turns, the others GOOD.
    const QString history = folder.filePath(QStringLiteral("history.sqlite"));
    CheckHistory recorded = CheckHistory::open(history).value();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    recorded.beginRun(now);
    std::vector<HistoryEntry> entries;
    QStringList paths;
    for (int i = 0, p = 0; i < files; ++i) {
        const bool proposedHere = p < proposed && i == int(qint64(p) * files / proposed);
        CheckedLink link;
        link.shortcutPath = links.filePath(nameOf(i));
        link.address = link.finalAddress = addressOf(i);
        link.good = !proposedHere || p % 2 == 0;
        link.status = link.good ? QStringLiteral("GOOD") : QStringLiteral("35751 Cannot open URL");
        if (proposedHere && link.good)
            link.hops = QStringLiteral("301 https://moved.example/%1\n").arg(i);
        p += proposedHere;
        paths.append(link.shortcutPath);
        entries.push_back({link, now, recorded.historyOf(link.address, link.good, now).value()});
    }
    if (!recorded.record(entries).ok() || !recorded.endRun(false, now).ok()) {
        std::fprintf(stderr, "cannot record the check in %s\n", qPrintable(history));
        return 1;
    }

    QElapsedTimer timer;
    timer.start();
    TidyOptions options;
    options.targetDirectory = links.path();
    std::vector<TidyProposal> proposals = planTidy(recorded, paths, options).value();
    for (TidyProposal& proposal : proposals)
        proposal.selected = true; // the broken ones too, as if ticked
    const double planning = timer.nsecsElapsed() / 1e9;
    timer.restart();
    const std::vector<TidyOutcome> applied = applyTidy(history, proposals);
    const double applying = timer.nsecsElapsed() / 1e9;
    timer.restart();
    const std::vector<TidyOutcome> undone = undoLastTidy(history);
    const double undoing = timer.nsecsElapsed() / 1e9;

    const auto doneCount = [](const std::vector<TidyOutcome>& outcomes) {
        return std::count_if(outcomes.begin(), outcomes.end(), [](auto& o) { return o.done; });
    };
    bool restored = !aside.exists();
    for (int i = 0; i < files && restored; ++i) {
        const Result<QByteArray> bytes = readFileBytes(links.filePath(nameOf(i)));
        restored = bytes.ok() && bytes.value() == shortcut(addressOf(i));
    }
    std::printf("command: tidy_bench --files %d --proposals %d\n", files, proposed);
    std::printf("planning %zu proposals for %d files: %.2f s\n", proposals.size(), files, planning);
    std::printf("applying %d proposals (%lld done) over %d files: %.2f s\n", proposed,
                static_cast<long long>(doneCount(applied)), files, applying);
    std::printf("undoing them (%lld put back): %.2f s\n", static_cast<long long>(doneCount(undone)),
                undoing);
    std::printf("every file as before after the undo: %s\n", restored ? "yes" : "no");
    return restored ? 0 : 1;
}
