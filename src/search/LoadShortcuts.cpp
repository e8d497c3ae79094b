#include "search/LoadShortcuts.h"

#include "platform/FileSystem.h"
#include "platform/Platform.h"
#include "search/SearchJob.h"
#include "shortcuts/DirectoryLister.h"
#include "shortcuts/ResultFile.h"
#include "window/Form1.h"

#include <QFile>
#include <QSaveFile>

namespace vorlan {

Result<QString> CHeckURLtxtstor(Form1& form, QString& tmpURL) {
    const Result<QStringList> file = readResultFile(form.workingFolder());
    if (!file.ok())
        return file.failure();
    if (file.value().isEmpty())
        return tmpURL;
    tmpURL = file.value().last();
    QStringList shortcuts = file.value();
    shortcuts.removeAll(QString());
    // One call keeps a list of 100,000 paths quick to fill.
    form.List1->addItems(shortcuts);
    return tmpURL;
}

void reloadFromNewSearch(Form1& form) {
    if (const Result<void> written = writeListingScript(form); !written.ok()) {
        form.platform().message(written.failure().message);
        return;
    }
    const QString resultFile = resultFilePath(form.workingFolder());
    QSaveFile listing(resultFile);
    listing.setDirectWriteFallback(false);
    const ListingOrder order =
        form.Option2->isChecked() ? ListingOrder::ByDate : ListingOrder::ByName;
    DirectoryLister lister(order, listing.open(QIODevice::WriteOnly) ? int(listing.handle()) : -1,
                           stderr);
    if (lister.list(QFile::encodeName(form.Text1->text()).toStdString()).status !=
            ListingOutcome::Status::Listed ||
        !listing.commit()) {
        form.platform().message(
            QStringLiteral("Cannot list %1 into %2.").arg(form.Text1->text(), resultFile));
        return;
    }
    Command2_Click(form);
}

void Command2_Click(Form1& form) {
    Platform& platform = form.platform();
    // Reloading would refill List1, whose rows the run's rows stand beside.
    if (refusedDuringLinkCheck(form))
        return;
    form.List1->clear();
    form.List2->clear();
    if (form.scriptWriting) {
        platform.message(QStringLiteral("A result of file is being created."));
        return;
    }
    form.Check1->setChecked(false);
    if (!entryExists(resultFilePath(form.workingFolder()), EntryKind::FilesOnly)) {
        platform.message(QStringLiteral("File is not created yet."));
        return;
    }

    QString lastLine;
    if (const Result<QString> read = CHeckURLtxtstor(form, lastLine); !read.ok()) {
        platform.message(read.failure().message);
        return;
    }
    if (lastLine.isEmpty()) {
        platform.message(QStringLiteral("This directory does not have shortcut file."));
    } else {
        form.setWindowTitle(QStringLiteral("Found file entry number: [%1] - %2")
                                .arg(form.List1->count())
                                .arg(platform.executableName()));
        form.Label1->setEnabled(true);
        form.Label4->setEnabled(true);
        form.Label5->setEnabled(true);
    }

    const QString scriptPath = listingScriptPath(form);
    if (!entryExists(scriptPath, EntryKind::FilesOnly))
        platform.message(QStringLiteral("Please click on 'Search and Create' button first."));
}

} // namespace vorlan
