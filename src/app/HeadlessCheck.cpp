#include "app/HeadlessCheck.h"

#include "linkcheck/engine/CheckRun.h"
#include "linkcheck/engine/CheckSink.h"
#include "linkcheck/engine/RowHistory.h"
#include "platform/InternetTransfer.h"
#include "platform/Platform.h"
#include "platform/ProgramFiles.h"
#include "shortcuts/ShortcutPaths.h"
#include "shortcuts/ShortcutReader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <cstdio>
#include <unistd.h>

namespace vorlan {

namespace {

// Where the report goes. Stdout, or a device or FIFO named as the output, takes each piece
// as it comes; a regular file is replaced once the report is complete, so that a failed run
// never leaves half a report nor destroys the old one.
class ReportOutput {
  public:
    // Fails naming the output when it cannot be opened.
    Result<void> open(const QString& path) {
        const QFileInfo info(path);
        bool opened = false;
        if (path.isEmpty()) {
            auto out = std::make_unique<QFile>();
            opened = out->open(STDOUT_FILENO, QIODevice::WriteOnly);
            device_ = std::move(out);
        } else if (info.exists() && !info.isFile()) {
            device_ = std::make_unique<QFile>(path);
            opened = device_->open(QIODevice::WriteOnly);
        } else {
            auto file = std::make_unique<QSaveFile>(path);
            file->setDirectWriteFallback(false);
            opened = file->open(QIODevice::WriteOnly);
            replacing_ = file.get();
            device_ = std::move(file);
        }
        if (opened)
            return {};
        return failure(path);
    }

    void write(const QByteArray& bytes) {
        device_->write(bytes);
        if (!replacing_)
            device_->flush();
    }

    // Fails naming the output when the report could not be written whole.
    Result<void> finish() {
        if (replacing_ ? replacing_->commit()
                       : device_->flush() && device_->error() == QFileDevice::NoError)
            return {};
        return failure(device_->fileName());
    }

  private:
    Failure failure(const QString& path) const {
        return {
            runtime_error::kPathFileAccess,
            QStringLiteral("cannot write %1: %2")
                .arg(path.isEmpty() ? QStringLiteral("the report") : path, device_->errorString())};
    }

    std::unique_ptr<QFileDevice> device_;
    QSaveFile* replacing_ = nullptr;
};

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
        output_.write(writer_.row(recorded));
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
    UnsavedPages unsavedPages_;
};

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
    return folder + kPathSeparator + QStringLiteral("history.sqlite");
}

int runHeadlessCheck(const CheckOptions& options) {
    if (!options.downloadFolder.isEmpty() && !QFileInfo(options.downloadFolder).isDir())
        return inputError(
            QStringLiteral("the download folder %1 does not exist").arg(options.downloadFolder));
    const Result<QStringList> shortcuts = shortcutPathsIn(options.path);
    if (!shortcuts.ok())
        return inputError(shortcuts.failure().message);
    ReportOutput output;
    if (const Result<void> opened = output.open(options.output); !opened.ok())
        return inputError(opened.failure().message);

    const std::unique_ptr<HistoryRecorder> recorder = openHistory(options);
    ReportWriter writer(options.format);
    output.write(writer.begin());
    InternetTransfer inet;
    inet.applySettings(TransferSettings{});
    HeadlessSink sink(writer, output, options.downloadFolder, recorder.get());
    auto* run = new CheckRun(sink, inet, readShortcutAddress, shortcuts.value(), RunLimits{});
    // The run deletes itself once it has ended, or goes with the component it used.
    run->setParent(&inet);
    run->start();
    QCoreApplication::exec();
    if (recorder)
        recorder->finishWithin(sink.stopped(), QDeadlineTimer(kHistoryPatience));
    output.write(writer.end());
    if (const Result<void> finished = output.finish(); !finished.ok())
        return inputError(finished.failure().message);
    return sink.allGood() ? 0 : 1;
}

} // namespace vorlan
