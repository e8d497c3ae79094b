#include "linkcheck/PageDownload.h"

#include "linkcheck/engine/PageBody.h"
#include "platform/FileSystem.h"
#include "platform/Platform.h"
#include "window/Form1.h"

#include <vector>

namespace vorlan {

namespace {

// The page of a row committed while Check3's folder question is open.
struct HeldPage {
    QString shortcutPath;
    PageBody page;
};
using HeldPages = std::vector<HeldPage>;

// Set on Check3 while its folder question is open: where the pages wait for the answer.
constexpr char kHeldPages[] = "heldPages";

HeldPages* heldPages(const Form1& form) {
    return form.Check3->property(kHeldPages).value<HeldPages*>();
}

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
    HeldPages held;
    form.Check3->setProperty(kHeldPages, QVariant::fromValue(&held));
    const QString answer =
        platform.inputBox(QStringLiteral("Where would you like to save it?"), defaultFolder);
    form.Check3->setProperty(kHeldPages, QVariant());
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
    if (HeldPages* held = heldPages(form)) {
        held->push_back({EachPageNAME, std::move(EachPage)});
        return nullptr;
    }
    if (form.downloadFolder.isEmpty())
        form.platform().message(QStringLiteral("The initial saving place is root of Vorlan."));
    return pageWriterInto(form.downloadFolder, EachPageNAME, EachPage);
}

} // namespace vorlan
