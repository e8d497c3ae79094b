// Runs the real link check, headless, over generated shortcuts whose addresses are spread
// over loopback hosts served by a latency server, and prints one figure per line.
//   linkcheck_bench [--links N] [--hosts H] [--delay-ms D] [--heavy K] [--heavy-mb M] [--save]
// --heavy makes K of the links pages of M megabytes; --save checks "Download all URLs".
#include "Form1.h"
#include "LatencyServer.h"
#include "LinkCheck.h"
#include "MainWindowWiring.h"
#include "QtPlatform.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <sys/resource.h>

namespace {

struct Options {
    int links = 1000;
    int hosts = 50;
    int delayMs = 200;
    int heavy = 0;
    int heavyMb = 200;
    bool save = false;
};

Options parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto number = [&] { return i + 1 < argc ? std::atoi(argv[++i]) : 0; };
        if (arg == "--links")
            options.links = number();
        else if (arg == "--hosts")
            options.hosts = number();
        else if (arg == "--delay-ms")
            options.delayMs = number();
        else if (arg == "--heavy")
            options.heavy = number();
        else if (arg == "--heavy-mb")
            options.heavyMb = number();
        else if (arg == "--save")
            options.save = true;
    }
    options.links = std::max(options.links, 1);
    options.hosts = std::clamp(options.hosts, 1, 250);
    return options;
}

// The real platform in a temporary program folder; a message goes to stderr instead of a
// dialog, and the download folder question is answered with the program folder's "pages".
class BenchPlatform : public vorlan::QtPlatform {
  public:
    explicit BenchPlatform(QString folder) : folder_(std::move(folder)) {}
    void message(const QString& prompt) override {
        std::fprintf(stderr, "message: %s\n", qPrintable(prompt));
    }
    QString inputBox(const QString&, const QString&) override { return folder_ + "/pages"; }
    QString programFolder() const override { return folder_; }

  private:
    QString folder_;
};

// The shortcut files, each host getting its share of the links in a shuffled order.
QStringList writeShortcuts(const QString& folder, const Options& options,
                           const LatencyServer& server) {
    std::vector<int> hostOf(options.links);
    for (int i = 0; i < options.links; ++i)
        hostOf[i] = i % options.hosts;
    std::shuffle(hostOf.begin(), hostOf.end(), std::mt19937(20240611));
    QDir().mkpath(folder + "/web");
    QStringList paths;
    for (int i = 0; i < options.links; ++i) {
        const bool heavy =
            i * options.heavy / options.links != (i + 1) * options.heavy / options.links;
        const std::string path =
            heavy ? "/heavy/" + std::to_string(options.heavyMb) : "/page/" + std::to_string(i);
        paths.append(folder + QStringLiteral("/web/link %1.url").arg(i));
        QFile file(paths.last());
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write("[InternetShortcut]\r\nURL=" +
                   QByteArray::fromStdString(server.url(hostOf[i], path)) + "\r\n");
    }
    return paths;
}

// The longest the event loop went without running a 1 ms timer.
class StallMeter : public QObject {
  public:
    StallMeter() {
        timer_.setTimerType(Qt::PreciseTimer);
        connect(&timer_, &QTimer::timeout, this,
                [this] { longest_ = std::max(longest_, sinceLastTick_.restart()); });
        sinceLastTick_.start();
        timer_.start(1);
    }
    qint64 longestMs() const { return longest_; }

  private:
    QTimer timer_;
    QElapsedTimer sinceLastTick_;
    qint64 longest_ = 0;
};

long peakMemoryMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

} // namespace

int main(int argc, char** argv) {
    const Options options = parse(argc, argv);
    // Before any thread of Qt exists: the server lives in a child process.
    const LatencyServer server(options.hosts, std::chrono::milliseconds(options.delayMs));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir folder;
    BenchPlatform platform(folder.path());
    vorlan::Form1 form(platform);
    form.Form_Load();
    vorlan::connectMainWindow(form);
    QDir().mkpath(folder.path() + "/pages");

    const QStringList shortcuts = writeShortcuts(folder.path(), options, server);
    QFile resultFile(form.workingFolder() + "/url.txt");
    if (shortcuts.isEmpty() || !resultFile.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "cannot write the shortcuts into %s\n", qPrintable(folder.path()));
        return 1;
    }
    resultFile.write((shortcuts.join("\r\n") + "\r\n").toUtf8());
    resultFile.close();
    form.List1->addItems(shortcuts);
    form.Check3->setChecked(options.save);

    QEventLoop untilDone;
    QObject::connect(&form, &QWidget::windowTitleChanged, &untilDone, &QEventLoop::quit);
    const StallMeter stalls;
    QElapsedTimer wall;
    wall.start();
    vorlan::Label5_Click(form);
    untilDone.exec();
    const double seconds = wall.nsecsElapsed() / 1e9;

    const vorlan::RunLimits limits;
    const double perHostRounds =
        std::ceil(std::ceil(double(options.links) / options.hosts) / limits.requestsPerHost);
    const double runRounds = std::ceil(double(options.links) / limits.requestsInFlight);
    const double bound = std::max(perHostRounds, runRounds) * options.delayMs / 1000.0;
    QMap<QString, int> statuses;
    for (int row = 0; row < form.List4->count(); ++row)
        ++statuses[form.List4->item(row)->text()];
    QStringList statusCounts;
    for (auto it = statuses.cbegin(); it != statuses.cend(); ++it)
        statusCounts.append(QStringLiteral("%1 x%2").arg(it.key()).arg(it.value()));

    std::printf("command: linkcheck_bench --links %d --hosts %d --delay-ms %d --heavy %d "
                "--heavy-mb %d%s\n",
                options.links, options.hosts, options.delayMs, options.heavy, options.heavyMb,
                options.save ? " --save" : "");
    std::printf("wall time: %.3f s\n", seconds);
    std::printf("latency-bound limit: %.3f s (wall time %.2fx of it)\n", bound, seconds / bound);
    std::printf("links per second: %.0f\n", options.links / seconds);
    std::printf("peak memory: %ld MB\n", peakMemoryMb());
    std::printf("longest event-loop stall: %lld ms\n", stalls.longestMs());
    std::printf("rows: %d (%s)\n", form.List4->count(), qPrintable(statusCounts.join(", ")));
    return form.List4->count() == options.links ? 0 : 1;
}
