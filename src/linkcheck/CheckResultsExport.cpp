#include "linkcheck/CheckResultsExport.h"

#include "linkcheck/LinkCheck.h"
#include "linkcheck/engine/ReportWriter.h"
#include "platform/FileSystem.h"
#include "platform/Platform.h"
#include "window/Form1.h"

#include <QDir>

namespace vorlan {

void SaveResults_Click(Form1& form) {
    Platform& platform = form.platform();
    const QList<CheckRow>& rows = LinkChecker::of(form).rows();
    if (rows.isEmpty()) {
        platform.message(QStringLiteral("There are no check results to save yet."));
        return;
    }
    const QString path =
        platform.saveFileName(QStringLiteral("Save check results"),
                              QDir::homePath() + QStringLiteral("/check-results.csv"));
    if (path.isEmpty())
        return;
    ReportWriter writer(reportFormatOfFile(path));
    QByteArray report = writer.begin();
    for (const CheckRow& row : rows)
        report += writer.row(row);
    report += writer.end();
    if (const Result<void> written = writeFileAtomically(path, report); !written.ok())
        platform.message(written.failure().message);
}

} // namespace vorlan
