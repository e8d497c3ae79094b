#include "ResultFile.h"

#include "FileSystem.h"
#include "Form1.h"
#include "Platform.h"

namespace vorlan {

QString resultFilePath(const Form1& form) {
    return form.workingFolder() + kPathSeparator + QStringLiteral("url.txt");
}

QString CHeckURLtxtstor(Form1& form, QString& tmpURL, bool COMMAND2B, QString* readError) {
    const Result<QStringList> file = readTextLines(resultFilePath(form));
    if (readError)
        *readError = file.ok() ? QString() : file.failure().message;
    if (!file.ok() || file.value().isEmpty())
        return tmpURL;
    tmpURL = file.value().last();
    if (COMMAND2B) {
        QStringList shortcuts = file.value();
        shortcuts.removeAll(QString());
        // One call keeps a list of 100,000 paths quick to fill.
        form.List1->addItems(shortcuts);
    }
    return tmpURL;
}

} // namespace vorlan
