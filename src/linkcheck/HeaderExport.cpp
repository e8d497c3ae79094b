#include "linkcheck/HeaderExport.h"

#include "platform/FileSystem.h"
#include "platform/Platform.h"
#include "window/Form1.h"

namespace vorlan {

void Command8_Click(Form1& form) {
    // The text field ends its lines with LF; the file has the header's own CR LF.
    QString text = form.Text2->toPlainText().replace(u'\n', QStringLiteral("\r\n"));
    if (text.isEmpty())
        text = QStringLiteral("No any header information here. Please search the URL first.");
    const QString path = form.workingFolder() + kPathSeparator + QStringLiteral("hINFOforN.txt");
    if (const Result<void> written = writeTextFile(path, text); !written.ok()) {
        form.platform().message(written.failure().message);
        return;
    }
    form.platform().shellOpen(path);
}

} // namespace vorlan
