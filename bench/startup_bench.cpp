// Start-up benchmark: wall time from starting a process to the main window's first paint,
// the way the program starts (application, window, start-up handler, wiring, show).
// The parent starts itself as a child a number of times and reports the median.
#include "app/MainWindowWiring.h"
#include "platform/QtPlatform.h"
#include "window/Form1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QProcess>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

class FirstPaintQuits : public QObject {
  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            QTimer::singleShot(0, qApp, &QApplication::quit);
        return QObject::eventFilter(watched, event);
    }
};

int runChild(int argc, char** argv) {
    QApplication application(argc, argv);
    vorlan::QtPlatform platform;
    vorlan::Form1 form(platform);
    form.Form_Load();
    vorlan::connectMainWindow(form);
    FirstPaintQuits quitter;
    form.installEventFilter(&quitter);
    form.show();
    return application.exec();
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && QByteArray(argv[1]) == "--child")
        return runChild(argc, argv);
    QCoreApplication application(argc, argv);
    const int runs = 15;
    std::vector<double> millis;
    for (int i = 0; i < runs + 1; ++i) {
        QElapsedTimer timer;
        timer.start();
        const int status = QProcess::execute(QCoreApplication::applicationFilePath(), {"--child"});
        const double elapsed = timer.nsecsElapsed() / 1e6;
        if (status != 0) {
            std::fprintf(stderr, "child failed with status %d\n", status);
            return 1;
        }
        if (i > 0) // the first run warms the file cache
            millis.push_back(elapsed);
    }
    std::sort(millis.begin(), millis.end());
    std::printf("startup to first paint, median of %d runs (ms): %.1f\n", runs, millis[runs / 2]);
    std::printf("startup to first paint, fastest (ms): %.1f\n", millis.front());
    std::printf("reproduce: QT_QPA_PLATFORM=offscreen build/bin/startup_bench\n");
    return 0;
}
