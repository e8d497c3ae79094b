#include "LoadShortcuts.h"

#include "FileSystem.h"
#include "Form1.h"
#include "Platform.h"
#include "ResultFile.h"
#include "SearchJob.h"

namespace vorlan {

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
    if (!entryExists(resultFilePath(form), EntryKind::FilesOnly)) {
        platform.message(QStringLiteral("File is not created yet."));
        return;
    }

    QString lastLine;
    QString readError;
    CHeckURLtxtstor(form, lastLine, true, &readError);
    if (!readError.isEmpty()) {
        platform.message(readError);
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
