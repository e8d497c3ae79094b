#include "linkcheck/LinkCheck.h"

#include "history/HistoryFile.h"
#include "linkcheck/PageDownload.h"
#include "linkcheck/engine/RowHistory.h"
#include "platform/FileSystem.h"
#include "platform/Platform.h"
#include "shortcuts/ResultFile.h"
#include "shortcuts/ShortcutReader.h"
#include "window/Form1.h"

namespace vorlan {

LinkChecker::LinkChecker(Form1& form)
    : QObject(&form), form_(form), inet_(new InternetTransfer(this)) {
    setObjectName(QStringLiteral("LinkChecker"));
    inet_->setObjectName(QStringLiteral("Inet1"));
    connect(&form, &Form1::unloading, this, &LinkChecker::abortRun);
}

// The run is the form's child too: a form deleted without being closed ends it here,
// while the transfer component still exists.
LinkChecker::~LinkChecker() {
    if (run_)
        run_->cancel();
}

LinkChecker& LinkChecker::of(Form1& form) {
    auto* checker = form.findChild<LinkChecker*>(QString(), Qt::FindDirectChildrenOnly);
    return checker ? *checker : *new LinkChecker(form);
}

void LinkChecker::startRun(QStringList shortcutPaths) {
    inet_->applySettings(settings);
    form_.Check1->setChecked(true);
    form_.List3->clear();
    form_.List4->clear();
    rows_.clear();
    // All rows at once: growing the list step by step would hold two copies at a time.
    rows_.reserve(shortcutPaths.size());
    unsavedPages_ = UnsavedPages();
    startRecording();
    run_ = new CheckRun(
        *this, *inet_, [this](const QString& path) { return readAddressIntoWindow(form_, path); },
        std::move(shortcutPaths), limits);
    run_->setParent(this);
    form_.linkCheckRunning = true;
    run_->start();
}

void LinkChecker::startRecording() {
    // The history lies in the working folder, beside the search's files.
    Platform& platform = form_.platform();
    recorder_ = new HistoryRecorder(historyFileIn(form_.workingFolder()), this);
    connect(recorder_, &HistoryRecorder::notRecorded, this,
            [&platform](const QString& message) { platform.message(message); });
    // A tidy plans from the rows a check recorded: it can be asked for once they are written.
    connect(recorder_, &HistoryRecorder::done, this, [this] { form_.Tidy->setEnabled(true); });
    connect(recorder_, &HistoryRecorder::done, recorder_, &QObject::deleteLater);
    if (!recorder_->problem().isEmpty())
        platform.message(recorder_->problem());
}

void LinkChecker::stopRun() {
    if (run_)
        run_->stop();
}

void LinkChecker::askToStop() {
    stopQuestionOpen_ = true;
    const bool stop = form_.platform().askYesNo(QStringLiteral("Stop checking links?"));
    stopQuestionOpen_ = false;
    if (stop)
        stopRun();
}

void LinkChecker::abortRun() {
    if (run_) {
        run_->cancel();
        // The window is closing: the rows so far are written now if they can be, untold.
        if (recorder_) {
            recorder_->disconnect(this);
            recorder_->finishWithin(true, QDeadlineTimer(std::chrono::seconds(1)));
        }
    }
    run_ = nullptr;
    form_.linkCheckRunning = false;
}

std::unique_ptr<PageWriter> LinkChecker::rowCommitted(const CheckRow& row, PageBody& page) {
    tmGETHEADER(form_, row.header, row.index);
    form_.Text2->setPlainText(row.header);
    return savingPages(form_) ? SaveAllHTMLs(form_, page, row.shortcutPath) : nullptr;
}

void LinkChecker::rowEnded(const CheckRow& row, const Result<void>& saved) {
    unsavedPages_.note(saved);
    form_.List3->addItem(row.address);
    form_.List4->addItem(row.status);
    rows_.append(row);
    if (recorder_)
        recordRow(*recorder_, rows_.last());
}

void LinkChecker::progressed(const CheckProgress& progress) {
    form_.setWindowTitle(QStringLiteral("Checking: [%1 of %2] - %3")
                             .arg(progress.done)
                             .arg(progress.total)
                             .arg(form_.platform().executableName()));
}

void LinkChecker::runEnded(bool stopped) {
    run_ = nullptr;
    if (recorder_)
        recorder_->finish(stopped);
    if (stopQuestionOpen_)
        form_.platform().dismissQuestion();
    form_.linkCheckRunning = false;
    form_.setWindowTitle((stopped ? QStringLiteral("STOPPED! - ") : QStringLiteral("DONE! - ")) +
                         form_.platform().executableName());
    // Nothing interrupts the run; what it could not save is told once at its end.
    if (const QString unsaved = unsavedPages_.report(); !unsaved.isEmpty())
        form_.platform().message(unsaved);
}

void Label5_Click(Form1& form) {
    LinkChecker& checker = LinkChecker::of(form);
    Platform& platform = form.platform();
    if (checker.running()) {
        checker.askToStop();
        return;
    }
    if (form.List1->count() == 0) {
        platform.message(QStringLiteral("Please search file first, which you want to."));
        return;
    }
    // The result file is read once: its lines are the items, its last line tells whether
    // the list is usable.
    if (!entryExists(resultFilePath(form.workingFolder()), EntryKind::FilesOnly)) {
        platform.message(QStringLiteral("File is not created yet."));
        return;
    }
    const Result<QStringList> lines = readPreparedResultFile(form.workingFolder());
    if (!lines.ok()) {
        platform.message(lines.failure().message);
        return;
    }
    checker.startRun(lines.value());
}

void tmGETHEADER(Form1& form, const QString& tmHEADERS, qsizetype tmHEADERSnum) {
    if (form.StoredHEADERS.size() <= tmHEADERSnum)
        form.StoredHEADERS.resize(tmHEADERSnum + 1);
    form.StoredHEADERS[tmHEADERSnum] = tmHEADERS;
}

QString readAddressIntoWindow(Form1& form, const QString& shortcutPath) {
    form.currentAddress = readShortcutAddress(shortcutPath);
    return form.currentAddress;
}

} // namespace vorlan
