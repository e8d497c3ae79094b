// Runs the real link check, headless, over generated shortcuts whose addresses are spread
// over loopback hosts served by a latency server, and prints one figure per line.
//   linkcheck_bench [--links N] [--hosts H] [--delay-ms D] [--heavy K] [--heavy-mb M]
//                   [--many-headers L] [--save] [--no-history]
// --heavy makes K of the links pages of M megabytes; --save checks "Download all URLs";
// the run records into a fresh history unless --no-history. While the run goes on, the lists
// are used every 200 ms (a shortcut selected, the results scrolled), and the longest use told.
#include "CheckRunSetup.h"
#include "linkcheck/LinkCheck.h"

#include <QElapsedTimer>
#include <QMap>
#include <QRandomGenerator>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {

// The longest the event loop went without running a 1 ms timer, and when that ended.
class StallMeter : public QObject {
  public:
    StallMeter() {
        timer_.setTimerType(Qt::PreciseTimer);
        connect(&timer_, &QTimer::timeout, this, [this] {
            if (const qint64 stall = sinceLastTick_.restart(); stall > longest_) {
                longest_ = stall;
                endedAtMs_ = sinceStart_.elapsed();
            }
        });
        sinceLastTick_.start();
        sinceStart_.start();
        timer_.start(1);
    }
    qint64 longestMs() const { return longest_; }
    qint64 endedAtMs() const { return endedAtMs_; }

  private:
    QTimer timer_;
    QElapsedTimer sinceLastTick_;
    QElapsedTimer sinceStart_;
    qint64 longest_ = 0;
    qint64 endedAtMs_ = 0;
};

// Uses the lists as a person would while the run goes on: every 200 ms it selects a shortcut
// in List1 (whose address the window then reads and shows) and scrolls the results lists to a
// row already checked, timing each use.
class ListUse : public QObject {
  public:
    explicit ListUse(vorlan::Form1& form) : form_(form) {
        connect(&timer_, &QTimer::timeout, this, [this] { use(); });
        timer_.start(200);
    }
    int uses() const { return uses_; }
    qint64 longestMs() const { return longest_; }

  private:
    void use() {
        QElapsedTimer took;
        took.start();
        if (form_.List1->count() > 0)
            form_.List1->setCurrentRow(random_.bounded(form_.List1->count()));
        if (const int rows = form_.List3->count(); rows > 0) {
            const int row = random_.bounded(rows);
            form_.List3->scrollToItem(form_.List3->item(row));
            form_.List4->scrollToItem(form_.List4->item(row));
        }
        longest_ = std::max(longest_, took.elapsed());
        ++uses_;
    }

    vorlan::Form1& form_;
    QTimer timer_;
    QRandomGenerator random_{20261207};
    int uses_ = 0;
    qint64 longest_ = 0;
};

} // namespace

int main(int argc, char** argv) {
    CheckRunBench bench(argc, argv, CheckRunOptions{});
    if (!bench.ready())
        return 1;
    const CheckRunOptions& options = bench.options();
    const vorlan::Form1& form = bench.form();
    const StallMeter stalls;
    const ListUse listUse(bench.form());
    const double seconds = bench.run();

    const double bound = latencyBoundSeconds(options);
    QMap<QString, int> statuses;
    for (int row = 0; row < form.List4->count(); ++row)
        ++statuses[form.List4->item(row)->text()];
    QStringList statusCounts;
    for (auto it = statuses.cbegin(); it != statuses.cend(); ++it)
        statusCounts.append(QStringLiteral("%1 x%2").arg(it.key()).arg(it.value()));

    std::printf("command: %s\n", bench.commandLine("linkcheck_bench").c_str());
    std::printf("wall time: %.3f s\n", seconds);
    std::printf("latency-bound limit: %.3f s (wall time %.2fx of it)\n", bound, seconds / bound);
    std::printf("links per second: %.0f\n", options.links / seconds);
    std::printf("peak memory: %ld MB\n", peakMemoryKb() / 1024);
    std::printf("CPU seconds per 1000 links: %.3f\n", cpuSeconds() * 1000 / options.links);
    std::printf("longest event-loop stall: %lld ms, ending %.3f s after the click\n",
                stalls.longestMs(), stalls.endedAtMs() / 1000.0);
    std::printf("list uses during the run: %d, longest %lld ms\n", listUse.uses(),
                listUse.longestMs());
    std::printf("rows: %d (%s)\n", form.List4->count(), qPrintable(statusCounts.join(", ")));
    return form.List4->count() == options.links ? 0 : 1;
}
