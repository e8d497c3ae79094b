#pragma once

#include "linkcheck/engine/ReportWriter.h"

#include <QString>
#include <QStringList>

namespace vorlan {

// What a check without a window works on.
struct CheckOptions {
    QString path; // a folder, a file listing shortcut paths, or one shortcut file
    ReportFormat format = ReportFormat::Tsv;
    QString output;         // empty: stdout
    QString downloadFolder; // empty: pages are not saved
    QString historyPath;    // empty: history.sqlite in the working folder
    bool recordHistory = true;
};

// Checks the shortcuts the options name with the check engine on the running core
// application's event loop, and writes the report of its rows. Returns the exit status: 0
// when every row is GOOD, 1 when some row is not, 2 when the path, the download folder or
// the output cannot be used (with a message on stderr).
int runHeadlessCheck(const CheckOptions& options);
// The same for shortcut paths found already.
int checkShortcuts(const CheckOptions& options, const QStringList& shortcuts);

// The check history the options name: --history FILE, else history.sqlite in the working
// folder (made when missing).
QString historyPathOf(const CheckOptions& options);

// Writes a message on stderr and gives the exit status of a usage or input error, 2.
int inputError(const QString& message);

} // namespace vorlan
