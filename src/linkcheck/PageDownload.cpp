#include "linkcheck/PageDownload.h"

#include "linkcheck/LinkCheck.h"
#include "platform/FileSystem.h"
#include "platform/Platform.h"
#include "window/Form1.h"

namespace vorlan {

namespace {

QString defaultDownloadFolder(const Platform& platform) {
    return platform.dataFolder() + kPathSeparator + QStringLiteral("HTMLs");
}

} // namespace

void Check3_Click(Form1& form) {
    if (!form.Check3->isChecked())
        return;
    Platform& platform = form.platform();
    const QString defaultFolder = defaultDownloadFolder(platform);
    // A run goes on while the question is open; the pages of the rows it commits meanwhile
    // wait for the answer. Their bodies stay within the memory budget of all page bodies.
    std::optional<std::vector<HeldPage>>& holding = LinkChecker::of(form).heldPages;
    holding.emplace();
    const QString answer =
        platform.inputBox(QStringLiteral("Where would you like to save it?"), defaultFolder);
    std::vector<HeldPage> held = std::move(*holding);
    holding.reset();
    if (answer.isEmpty()) {
        form.Check3->setChecked(false); // the held pages are dropped
        return;
    }
    if (answer == defaultFolder && !entryExists(answer, EntryKind::FilesAndDirectories)) {
        if (const Result<void> made = makeDirectory(answer); !made.ok())
            platform.message(made.failure().message);
    }
    form.downloadFolder = answer;
    UnsavedPages unsaved;
    for (HeldPage& page : held) {
        if (const auto writer = SaveAllHTMLs(form, page.page, page.shortcutPath)) {
            writer->writeUntil(QDeadlineTimer(QDeadlineTimer::Forever));
            unsaved.note(writer->saved());
        }
    }
    if (const QString report = unsaved.report(); !report.isEmpty())
        platform.message(report);
}

bool savingPages(const Form1& form) {
    return form.Check3->isChecked();
}

std::unique_ptr<PageWriter> SaveAllHTMLs(Form1& form, PageBody& EachPage,
                                         const QString& EachPageNAME) {
    if (auto& held = LinkChecker::of(form).heldPages) {
        held->push_back({EachPageNAME, std::move(EachPage)});
        return nullptr;
    }
    if (form.downloadFolder.isEmpty())
        form.platform().message(QStringLiteral("The initial saving place is root of Vorlan."));
    return pageWriterInto(form.downloadFolder, EachPageNAME, EachPage);
}

} // namespace vorlan
