// Link list page benchmark: a page of 5000 links from 5000 real shortcut files, timed from
// the answer to "Where do you want to save?" to the final question (reading the result
// file, reading every shortcut, building and writing the page).
//   QT_QPA_PLATFORM=offscreen export_bench
// The shortcuts and the page live in a temporary folder that is removed afterwards. One
// warm-up run, then kRuns runs; the median and the slowest are reported.
#include "export/LinkListExport.h"
#include "export/LinkListPage.h"
#include "platform/FileSystem.h"
#include "platform/QtPlatform.h"
#include "window/Form1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRuns = 9;

// Answers the save place at once and times until the final question, answered No.
class TimingPlatform : public vorlan::QtPlatform {
  public:
    TimingPlatform(QString programFolder, QString savePlace)
        : programFolder_(std::move(programFolder)), savePlace_(std::move(savePlace)) {}

    QString inputBox(const QString&, const QString&) override {
        clock.start();
        return savePlace_;
    }
    bool askYesNo(const QString&) override {
        lastMillis = clock.nsecsElapsed() / 1e6;
        return false;
    }
    void message(const QString& prompt) override {
        std::fprintf(stderr, "export_bench: %s\n", qPrintable(prompt));
        std::exit(1);
    }
    QString programFolder() const override { return programFolder_; }

    double lastMillis = -1;

  private:
    QString programFolder_;
    QString savePlace_;
    QElapsedTimer clock;
};

QString writeShortcuts(const QString& folder) {
    QStringList paths;
    for (int i = 0; i < vorlan::kMaxPageLinks; ++i) {
        const QString path = folder + QStringLiteral("/Site number %1.url").arg(i);
        const QString content =
            QStringLiteral("[InternetShortcut]\r\nURL=http://host%1.example/path/page.html?id=%1"
                           "\r\nIconIndex=0\r\n")
                .arg(i);
        if (!vorlan::writeTextFile(path, content).ok())
            std::exit(1);
        paths.append(path);
    }
    return paths.join(QStringLiteral("\r\n"));
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QTemporaryDir root;
    const QString shortcuts = root.path() + QStringLiteral("/shortcuts");
    const QString out = root.path() + QStringLiteral("/out");
    for (const QString& folder : {root.path() + QStringLiteral("/VOR"), shortcuts, out})
        (void)vorlan::makeDirectory(folder);
    const QString resultLines = writeShortcuts(shortcuts);
    (void)vorlan::writeTextFile(root.path() + QStringLiteral("/VOR/url.txt"), resultLines);

    TimingPlatform platform(root.path(), out);
    vorlan::Form1 form(platform);
    form.List1->addItems(resultLines.split(QStringLiteral("\r\n")));
    std::vector<double> millis;
    for (int run = 0; run <= kRuns; ++run) {
        vorlan::Label4_Click(form);
        if (run > 0)
            millis.push_back(platform.lastMillis);
    }
    std::sort(millis.begin(), millis.end());
    std::printf("link list page, 5000 links from 5000 shortcut files: median %.1f ms, slowest "
                "%.1f ms over %d runs\n",
                millis[millis.size() / 2], millis.back(), kRuns);
    std::printf("reproduce: QT_QPA_PLATFORM=offscreen %s\n", argv[0]);
    return 0;
}
