// Reading typical shortcut files: 10,000 files of the usual form, each read through
// OandGurl, reported in files per second (file cache warm).
//   build/bin/shortcut_read_bench
// One warm-up pass, then kRuns passes; the median and the slowest are reported.
#include "shortcuts/ShortcutReader.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kFiles = 10'000;
constexpr int kRuns = 5;

QByteArray typicalShortcut(int i) {
    const QByteArray n = QByteArray::number(i);
    return "[InternetShortcut]\r\nURL=https://www.example" + n + ".com/articles/page.html?id=" + n +
           "\r\nIDList=\r\nHotKey=0\r\nIconFile=C:\\Windows\\System32\\shell32.dll\r\n"
           "IconIndex=14\r\n[{000214A0-0000-0000-C000-000000000046}]\r\nProp3=19,2\r\n";
}

QStringList writeShortcuts(const QString& root) {
    QStringList paths;
    for (int i = 0; i < kFiles; ++i) {
        const QString folder = root + QStringLiteral("/Folder %1").arg(i / 200);
        QDir().mkpath(folder);
        const QString path = folder + QStringLiteral("/Site %1.url").arg(i);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(typicalShortcut(i)) < 0)
            return {};
        paths.append(path);
    }
    return paths;
}

} // namespace

int main() {
    QTemporaryDir root;
    const QStringList paths = writeShortcuts(root.path());
    if (paths.size() != kFiles) {
        std::fprintf(stderr, "cannot write the shortcuts in %s\n", qPrintable(root.path()));
        return 1;
    }
    std::vector<double> perSecond;
    for (int run = 0; run <= kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        for (const QString& path : paths) {
            if (vorlan::readShortcutAddress(path).isEmpty()) {
                std::fprintf(stderr, "no address read from %s\n", qPrintable(path));
                return 1;
            }
        }
        if (run > 0) // the first pass warms the file cache
            perSecond.push_back(kFiles / (timer.nsecsElapsed() / 1e9));
    }
    std::sort(perSecond.begin(), perSecond.end());
    std::printf("read %d shortcut files through OandGurl, median of %d (files/s): %.0f\n", kFiles,
                kRuns, perSecond[perSecond.size() / 2]);
    std::printf("read %d shortcut files through OandGurl, slowest pass (files/s): %.0f\n", kFiles,
                perSecond.front());
    std::printf("reproduce: build/bin/shortcut_read_bench\n");
    return 0;
}
