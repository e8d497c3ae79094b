#include "app/HeadlessCheck.h"

#include "app/ReportOutput.h"
#include "app/StopSignals.h"
#include "history/HistoryFile.h"
#include "linkcheck/engine/CheckRun.h"
#include "linkcheck/engine/CheckSink.h"
#include "linkcheck/engine/RowHistory.h"
#include "platform/FileSystem.h"
#include "platform/InternetTransfer.h"
#include "platform/Platform.h"
#include "platform/ProgramFiles.h"
#include "shortcuts/ShortcutPaths.h"
#include "shortcuts/ShortcutReader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace vorlan {

namespace {

// The run's sink: each row goes into the report and, with a download folder, its page into
// that folder as the window saves it; progress is shown on a terminal.
class HeadlessSink : public CheckSink {
  public:
    HeadlessSink(ReportWriter& writer, ReportOutput& output, QString downloadFolder,
                 HistoryRecorder* recorder)
        : writer_(writer), output_(output), downloadFolder_(std::move(downloadFolder)),
          recorder_(recorder), showProgress_(isatty(STDERR_FILENO) == 1) {}

    bool allGood() const { return allGood_; }
    bool stopped() const { return stopped_; }
    qsizetype rows() const { return rows_; }
    // Called, once, when the report's output is gone (a closed pipe).
    std::function<void()> outputGone;

    bool keepsPages() const override { return !downloadFolder_.isEmpty(); }

    std::unique_ptr<PageWriter> rowCommitted(const CheckRow& row, PageBody& page) override {
        return downloadFolder_.isEmpty() ? nullptr
                                         : pageWriterInto(downloadFolder_, row.shortcutPath, page);
    }

    void rowEnded(const CheckRow& row, const Result<void>& saved) override {
        unsavedPages_.note(saved);
        allGood_ = allGood_ && row.status == u"GOOD";
        CheckRow recorded = row;
        if (recorder_)
            recordRow(*recorder_, recorded);
        ++rows_;
        if (!output_.write(writer_.row(recorded)) && outputGone)
            std::exchange(outputGone, nullptr)();
    }

    void progressed(const CheckProgress& progress) override {
        if (!showProgress_)
            return;
        const QString waiting = progress.waitingFor.isEmpty()
                                    ? QString()
                                    : QStringLiteral(" (waiting for %1)").arg(progress.waitingFor);
        // Each report overwrites the one before on the same line.
        std::fprintf(stderr, "\rChecked %lld of %lld%s\x1b[K", qlonglong(progress.done),
                     qlonglong(progress.total), qPrintable(waiting));
    }

    void runEnded(bool stopped) override {
        stopped_ = stopped;
        if (showProgress_)
            std::fputc('\n', stderr);
        if (const QString unsaved = unsavedPages_.report(); !unsaved.isEmpty())
            std::fprintf(stderr, "Vorlan: %s\n", qPrintable(unsaved));
        QCoreApplication::quit();
    }

  private:
    ReportWriter& writer_;
    ReportOutput& output_;
    const QString downloadFolder_;
    HistoryRecorder* recorder_;
    const bool showProgress_;
    bool allGood_ = true;
    bool stopped_ = false;
    qsizetype rows_ = 0;
    UnsavedPages unsavedPages_;
};

// The exit status of a check whose output was closed, as of a program ended by SIGPIPE.
constexpr int kClosedOutput = 128 + SIGPIPE;

// The shortcut paths PATH names; "-" reads them from standard input, one per line.
Result<QStringList> shortcutPathsNamedBy(const QString& path) {
    if (path != u"-")
        return shortcutPathsIn(path);
    QFile in;
    if (!in.open(STDIN_FILENO, QIODevice::ReadOnly))
        return Failure{runtime_error::kPathFileAccess,
                       QStringLiteral("cannot read standard input: %1").arg(in.errorString())};
    // Bounded as a file of paths is: an endless input would only exhaust memory.
    const QByteArray bytes = in.read(kMaxTextFileBytes + 1);
    if (bytes.size() > kMaxTextFileBytes)
        return Failure{runtime_error::kPathFileAccess,
                       QStringLiteral("standard input holds more than %1 MiB of paths")
                           .arg(kMaxTextFileBytes >> 20)};
    QStringList paths = splitTextLines(QFile::decodeName(bytes));
    paths.removeAll(QString());
    return paths;
}

// How long the history may stay locked by another program after the run before its rows
// are given up.
constexpr std::chrono::seconds kHistoryPatience{10};

// The recorder of the run's rows; none with --no-history or when the history cannot be
// opened, which is told on stderr.
std::unique_ptr<HistoryRecorder> openHistory(const CheckOptions& options) {
    if (!options.recordHistory)
        return nullptr;
    auto recorder = std::make_unique<HistoryRecorder>(historyPathOf(options));
    if (!recorder->problem().isEmpty()) {
        std::fprintf(stderr, "Vorlan: %s\n", qPrintable(recorder->problem()));
        return nullptr;
    }
    QObject::connect(recorder.get(), &HistoryRecorder::notRecorded, [](const QString& message) {
        std::fprintf(stderr, "Vorlan: %s\n", qPrintable(message));
    });
    return recorder;
}

} // namespace

int inputError(const QString& message) {
    std::fprintf(stderr, "Vorlan: %s\n", qPrintable(message));
    return 2;
}

QString historyPathOf(const CheckOptions& options) {
    if (!options.historyPath.isEmpty())
        return options.historyPath;
    const QString folder =
        workingFolderOf(dataFolderOf(QDir::cleanPath(QCoreApplication::applicationDirPath())));
    QDir().mkpath(folder);
    return historyFileIn(folder);
}

int runHeadlessCheck(const CheckOptions& options) {
    const Result<QStringList> shortcuts = shortcutPathsNamedBy(options.path);
    if (!shortcuts.ok())
        return inputError(shortcuts.failure().message);
    return checkShortcuts(options, shortcuts.value());
}

int checkShortcuts(const CheckOptions& options, const QStringList& shortcuts) {
    if (!options.downloadFolder.isEmpty() && !QFileInfo(options.downloadFolder).isDir())
        return inputError(
            QStringLiteral("the download folder %1 does not exist").arg(options.downloadFolder));
    ReportOutput output;
    if (const Result<void> opened = output.open(options.output); !opened.ok())
        return inputError(opened.failure().message);

    const std::unique_ptr<HistoryRecorder> recorder = openHistory(options);
    ReportWriter writer(options.format);
    output.write(writer.begin());
    InternetTransfer inet;
    inet.applySettings(TransferSettings{});
    HeadlessSink sink(writer, output, options.downloadFolder, recorder.get());
    const QPointer<CheckRun> run =
        new CheckRun(sink, inet, readShortcutAddress, shortcuts, RunLimits{});
    // The run deletes itself once it has ended, or goes with the component it used.
    run->setParent(&inet);
    // Stopped from the event loop, never from inside one of the run's calls.
    const auto stop = [&run] {
        if (run)
            run->stop();
    };
    int stoppedBy = 0;
    const StopSignals stopSignals([&](int signal) {
        stoppedBy = signal;
        stop();
    });
    sink.outputGone = [&] { QTimer::singleShot(0, stop); };
    run->start();
    QCoreApplication::exec();
    if (recorder)
        recorder->finishWithin(sink.stopped(), QDeadlineTimer(kHistoryPatience));
    if (output.gone())
        return kClosedOutput; // nobody reads the report any more: nothing to tell
    output.write(writer.end());
    if (const Result<void> finished = output.finish(); !finished.ok())
        return inputError(finished.failure().message);
    if (stoppedBy) {
        std::fprintf(stderr, "Stopped after %lld of %lld rows\n", qlonglong(sink.rows()),
                     qlonglong(shortcuts.size()));
        return 128 + stoppedBy;
    }
    return sink.allGood() ? 0 : 1;
}

} // namespace vorlan
