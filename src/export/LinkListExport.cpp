#include "export/LinkListExport.h"

#include "export/LinkListPage.h"
#include "platform/FileSystem.h"
#include "platform/Platform.h"
#include "shortcuts/ResultFile.h"
#include "shortcuts/ShortcutReader.h"
#include "window/Form1.h"

#include <QScopeGuard>
#include <optional>

namespace vorlan {

namespace {

// A failure of the reader as a message naming the shortcut file.
QString readerErrorMessage(const QString& shortcutPath, const Failure& failure) {
    if (failure.number == runtime_error::kPathFileAccess)
        return failure.message; // already names the file
    return QStringLiteral("Cannot read the address in the shortcut file %1: %2")
        .arg(shortcutPath, failure.message);
}

// The links of every result-file line, in file order. Reports the reason and gives nothing
// when the result file or a shortcut cannot be read, or when the page would exceed its
// limit.
std::optional<QList<PageLink>> readLinks(Form1& form) {
    Platform& platform = form.platform();
    const Result<QStringList> resultFile = readResultFile(form.workingFolder());
    if (!resultFile.ok()) {
        platform.message(resultFile.failure().message);
        return std::nullopt;
    }
    QList<PageLink> links;
    for (const QString& line : resultFile.value()) {
        // The read stores into an address of its own, so that a shortcut without one gets an
        // empty link, never the previous shortcut's. What it stores (never empty: it holds a
        // dot) becomes the window's current address, as with every read; the export never
        // clears it.
        QString address;
        const auto keepAddress = qScopeGuard([&] {
            if (!address.isEmpty())
                form.currentAddress = address;
        });
        if (const Result<void> read = OandGurl(line, address); !read.ok()) {
            platform.message(readerErrorMessage(line, read.failure()));
            return std::nullopt;
        }
        if (links.size() == kMaxPageLinks) {
            platform.message(QStringLiteral("Does not support anymore links."));
            return std::nullopt;
        }
        links.append({address, linkTextOf(line, kPathSeparator)});
    }
    return links;
}

} // namespace

void Label4_Click(Form1& form) {
    Platform& platform = form.platform();
    if (form.List1->count() == 0) {
        platform.message(QStringLiteral("Please search file first, which you want to."));
        return;
    }
    // The file is read here to refuse an unprepared list, and again for its links once the
    // folder is chosen.
    if (const Result<QStringList> lines = readPreparedResultFile(form.workingFolder());
        !lines.ok()) {
        platform.message(lines.failure().message);
        return;
    }
    const QString savePlace =
        platform.inputBox(QStringLiteral("Where do you want to save?"), platform.dataFolder());
    if (savePlace.isEmpty()) {
        platform.message(QStringLiteral("Please decide where to save first."));
        return;
    }

    const std::optional<QList<PageLink>> links = readLinks(form);
    if (!links)
        return;
    const QString pagePath = linkListPagePath(savePlace, kPathSeparator);
    if (const Result<void> written = writeTextFile(pagePath, linkListPage(*links)); !written.ok()) {
        platform.message(written.failure().message);
        return;
    }
    if (platform.askYesNo(QStringLiteral("urlLIST.htm is created in your drive at") + savePlace +
                          QStringLiteral("successfully.\r\nWhould you like to open it now?")))
        platform.shellOpen(pagePath);
}

} // namespace vorlan
