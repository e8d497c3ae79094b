#include "search/DetailView.h"

#include "platform/FileSystem.h"
#include "platform/Platform.h"
#include "shortcuts/ShortcutReader.h"
#include "window/Form1.h"

namespace vorlan {

namespace {

// Runs the extraction step on each line and collects the current address after it
// whenever it is not empty. Returns false when a step fails; entries holds those so far.
bool extractLines(const ShortcutText& file, QString& currentAddress, QStringList& entries) {
    for (const QString& line : file.lines) {
        if (!GST(line, currentAddress, file.code).ok())
            return false;
        if (!currentAddress.isEmpty())
            entries.append(currentAddress);
    }
    return true;
}

} // namespace

void List1_Click(Form1& form) {
    form.List2->clear();
    const QString path = form.List1->selectedText();
    if (!entryExists(path, EntryKind::FilesOnly)) {
        form.platform().message(
            QStringLiteral("File is not found. You may replaced this file. Please search again."));
        return;
    }
    const Result<ShortcutText> file = readShortcutText(path);
    if (!file.ok())
        return;
    QStringList entries;
    const bool completed = extractLines(file.value(), form.currentAddress, entries);
    form.List2->addItems(entries);
    if (!completed)
        return;

    const int row = form.List1->listIndex();
    if (!form.List3->isHidden() && row < form.List3->count())
        form.List3->setListIndex(row);
}

} // namespace vorlan
