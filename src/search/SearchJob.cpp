#include "search/SearchJob.h"

#include "platform/FileSystem.h"
#include "platform/Platform.h"
#include "search/ListingScript.h"
#include "window/Form1.h"

namespace vorlan {

QString listingScriptPath(const Form1& form) {
    return form.workingFolder() + kPathSeparator + QStringLiteral("listB.bat");
}

bool refusedDuringLinkCheck(Form1& form) {
    if (form.linkCheckRunning)
        form.platform().message(QStringLiteral("A link check is in progress."));
    return form.linkCheckRunning;
}

void Command1_Click(Form1& form) {
    Platform& platform = form.platform();
    // A new search would rewrite the result file that the run's rows stand for.
    if (refusedDuringLinkCheck(form))
        return;
    if (!form.Picture1->isHidden())
        form.Picture1->hide();
    QString target = form.Text1->text();
    if (target.isEmpty()) {
        platform.message(QStringLiteral("Please input file name or file name and path"));
        return;
    }
    if (target.endsWith(kPathSeparator)) {
        target.chop(1);
        form.Text1->setText(target);
    }
    if (!entryExists(target, EntryKind::FilesAndDirectories)) {
        platform.message(QStringLiteral("You have chosen directory does not exit."));
        return;
    }
    if (const Result<void> written = writeListingScript(form); !written.ok()) {
        platform.message(written.failure().message);
        return;
    }
    if (const auto error = platform.runListingScript(listingScriptPath(form)))
        platform.message(*error);
}

Result<void> writeListingScript(Form1& form) {
    const SearchOrder order = form.Option2->isChecked() ? SearchOrder::ByDate : SearchOrder::ByName;
    const QString script =
        listingScriptText(form.Text1->text(), order, form.platform().dataFolder(), kPathSeparator);
    form.scriptWriting = true;
    const Result<void> written = writeTextFile(listingScriptPath(form), script);
    form.scriptWriting = false;
    return written;
}

} // namespace vorlan
