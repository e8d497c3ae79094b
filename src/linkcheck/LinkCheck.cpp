#include "LinkCheck.h"

#include "FileSystem.h"
#include "Form1.h"
#include "Platform.h"
#include "ResultFile.h"

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
    run_ = new CheckRun(form_, *inet_, std::move(shortcutPaths), limits);
    form_.linkCheckRunning = true;
    connect(run_, &CheckRun::finished, this, [this] {
        const QString unsaved = run_->unsavedPagesReport();
        run_->deleteLater();
        run_ = nullptr;
        form_.linkCheckRunning = false;
        // Nothing interrupts the run; what it could not save is told once at its end.
        if (!unsaved.isEmpty())
            form_.platform().message(unsaved);
    });
    run_->start();
}

void LinkChecker::abortRun() {
    if (run_)
        run_->cancel();
    run_ = nullptr;
    form_.linkCheckRunning = false;
}

void Label5_Click(Form1& form) {
    LinkChecker& checker = LinkChecker::of(form);
    if (checker.running())
        return;
    Platform& platform = form.platform();
    if (form.List1->count() == 0) {
        platform.message(QStringLiteral("Please search file first, which you want to."));
        return;
    }
    // The result file is read once: its lines are the items, its last line tells whether
    // the list is usable.
    const QString resultFile = resultFilePath(form);
    if (!entryExists(resultFile, EntryKind::FilesOnly)) {
        platform.message(QStringLiteral("File is not created yet."));
        return;
    }
    const TextLines lines = readTextLines(resultFile);
    if (!lines.ok()) {
        platform.message(lines.error);
        return;
    }
    if (lines.lines.isEmpty() || lines.lines.last().isEmpty()) {
        platform.message(QStringLiteral("Created list of shortcuts are empty that cannot create "
                                        "HTML.\r\nPlease make sure that list is prepared."));
        return;
    }
    checker.startRun(lines.lines);
}

void tmGETHEADER(Form1& form, const QString& tmHEADERS, qsizetype tmHEADERSnum) {
    if (form.StoredHEADERS.size() <= tmHEADERSnum)
        form.StoredHEADERS.resize(tmHEADERSnum + 1);
    form.StoredHEADERS[tmHEADERSnum] = tmHEADERS;
}

} // namespace vorlan
