// Loading the found shortcuts: a result file of 100,000 paths, timed from the click on the
// load button to the filled list and to its first paint, then dragging the scroll bar from
// the top to the bottom of the list in even steps with a repaint after each.
//   QT_QPA_PLATFORM=offscreen build/bin/shortcut_load_bench
// One warm-up load, then kRuns loads; the median and the slowest are reported.
#include "app/MainWindowWiring.h"
#include "platform/QtPlatform.h"
#include "window/Form1.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kLines = 100'000;
constexpr int kRuns = 9;
constexpr int kScrollSteps = 500;

// The real platform over a temporary program folder; any message means the load failed.
class BenchPlatform : public vorlan::QtPlatform {
  public:
    explicit BenchPlatform(QString programFolder) : programFolder_(std::move(programFolder)) {}
    QString programFolder() const override { return programFolder_; }
    void message(const QString& prompt) override {
        std::fprintf(stderr, "unexpected message: %s\n", qPrintable(prompt));
        std::exit(1);
    }

  private:
    QString programFolder_;
};

bool writeResultFile(const QString& workingFolder) {
    QByteArray text;
    for (int i = 0; i < kLines; ++i)
        text += "/home/user/Favorites/Folder " + QByteArray::number(i / 100) + "/Site name " +
                QByteArray::number(i) + ".url\r\n";
    QFile result(workingFolder + "/url.txt");
    QFile script(workingFolder + "/listB.bat");
    return result.open(QIODevice::WriteOnly) && result.write(text) == text.size() &&
           script.open(QIODevice::WriteOnly);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir folder;
    BenchPlatform platform(folder.path());
    vorlan::Form1 form(platform);
    form.Form_Load();
    vorlan::connectMainWindow(form);
    if (!writeResultFile(form.workingFolder())) {
        std::fprintf(stderr, "cannot write the result file in %s\n", qPrintable(folder.path()));
        return 1;
    }
    form.show();
    QApplication::processEvents();

    std::vector<double> filled;
    std::vector<double> painted;
    for (int run = 0; run <= kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        form.Command2->click();
        const double fillMillis = timer.nsecsElapsed() / 1e6;
        form.List1->repaint();
        const double paintMillis = timer.nsecsElapsed() / 1e6;
        if (form.List1->count() != kLines) {
            std::fprintf(stderr, "list holds %d items, not %d\n", form.List1->count(), kLines);
            return 1;
        }
        if (run > 0) { // the first run warms the file cache
            filled.push_back(fillMillis);
            painted.push_back(paintMillis);
        }
    }

    std::vector<double> steps;
    QScrollBar* bar = form.List1->verticalScrollBar();
    for (int step = 0; step < kScrollSteps; ++step) {
        QElapsedTimer timer;
        timer.start();
        bar->setValue(bar->maximum() * (step + 1) / kScrollSteps);
        form.List1->repaint();
        steps.push_back(timer.nsecsElapsed() / 1e6);
    }

    std::printf("load %d lines, click to filled list, median of %d (ms): %.1f\n", kLines, kRuns,
                median(filled));
    std::printf("load %d lines, click to filled list, slowest (ms): %.1f\n", kLines,
                *std::max_element(filled.begin(), filled.end()));
    std::printf("load %d lines, click to first paint, median (ms): %.1f\n", kLines,
                median(painted));
    std::printf("scroll step with repaint, median of %d (ms): %.2f\n", kScrollSteps, median(steps));
    std::printf("scroll step with repaint, slowest (ms): %.2f\n",
                *std::max_element(steps.begin(), steps.end()));
    std::printf("reproduce: QT_QPA_PLATFORM=offscreen build/bin/shortcut_load_bench\n");
    return 0;
}
