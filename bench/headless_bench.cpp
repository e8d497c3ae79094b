// Runs the check without a window, `Vorlan --check FOLDER`, as its own process over generated
// shortcuts whose addresses are spread over loopback hosts served by a latency server, and
// prints one figure per line: the child's wall time against the latency-bound limit, and the
// CPU time and peak memory it used.
//   headless_bench [--links N] [--hosts H] [--delay-ms D] [--heavy K] [--heavy-mb M]
//                  [--many-headers L] [--save] [--no-history]
// The options are those of linkcheck_bench, which checks the same links in the window;
// --save adds --download; the run records into a fresh history unless --no-history.
#include "CheckRunSetup.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace {

double seconds(const timeval& time) {
    return double(time.tv_sec) + double(time.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    const CheckRunOptions options = parseCheckRunOptions(argc, argv, CheckRunOptions{});
    const LatencyServer server(
        {options.hosts, std::chrono::milliseconds(options.delayMs), options.names, options.tls});
    const QTemporaryDir folder;
    const QString links = folder.filePath(QStringLiteral("links"));
    const QString report = folder.filePath(QStringLiteral("report.tsv"));
    const QString pages = folder.filePath(QStringLiteral("pages"));
    if (writeShortcuts(links, linkAddresses(options, server)).isEmpty() ||
        (options.save && !QDir().mkpath(pages))) {
        std::fprintf(stderr, "cannot write the shortcuts into %s\n", qPrintable(links));
        return 1;
    }
    QList<QByteArray> arguments = {VORLAN_EXE, "--check",  QFile::encodeName(links), "--format",
                                   "tsv",      "--output", QFile::encodeName(report)};
    if (options.save)
        arguments << "--download" << QFile::encodeName(pages);
    if (options.history)
        arguments << "--history"
                  << QFile::encodeName(folder.filePath(QStringLiteral("history.sqlite")));
    else
        arguments << "--no-history";
    std::vector<char*> argvOfChild;
    for (QByteArray& argument : arguments)
        argvOfChild.push_back(argument.data());
    argvOfChild.push_back(nullptr);

    QElapsedTimer wall;
    wall.start();
    pid_t child = -1;
    if (posix_spawn(&child, VORLAN_EXE, nullptr, nullptr, argvOfChild.data(), environ) != 0) {
        std::perror(VORLAN_EXE);
        return 1;
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const double wallSeconds = wall.nsecsElapsed() / 1e9;

    QFile reportFile(report);
    const QList<QByteArray> lines = reportFile.open(QIODevice::ReadOnly)
                                        ? reportFile.readAll().split('\n')
                                        : QList<QByteArray>();
    // The header row, one row per link, and the empty piece after the last line end.
    const qsizetype rows = std::max<qsizetype>(lines.size() - 2, 0);
    const qsizetype good = std::count_if(lines.begin(), lines.end(), [](const QByteArray& line) {
        return line.contains("\tGOOD\t");
    });
    const double bound = latencyBoundSeconds(options);
    const double cpu = seconds(usage.ru_utime) + seconds(usage.ru_stime);

    std::printf("command: %s\n", checkRunCommandLine("headless_bench", options).c_str());
    std::printf("child: %s\n", arguments.join(' ').constData());
    std::printf("wall time: %.3f s\n", wallSeconds);
    std::printf("latency-bound limit: %.3f s (wall time %.2fx of it)\n", bound,
                wallSeconds / bound);
    std::printf("CPU seconds: %.3f (user %.3f, system %.3f)\n", cpu, seconds(usage.ru_utime),
                seconds(usage.ru_stime));
    std::printf("peak memory: %ld MB\n", usage.ru_maxrss / 1024);
    std::printf("exit status: %d, rows: %lld (GOOD %lld)\n",
                WIFEXITED(status) ? WEXITSTATUS(status) : -1, qlonglong(rows), qlonglong(good));
    return WIFEXITED(status) && WEXITSTATUS(status) <= 1 && rows == options.links ? 0 : 1;
}
