#include "CheckResultsExport.h"

#include "FileSystem.h"
#include "Form1.h"
#include "LinkCheck.h"
#include "Platform.h"
#include "ReportWriter.h"

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
