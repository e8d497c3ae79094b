#pragma once

#include <QString>
#include <QStringList>

namespace vorlan {

// The shortcut files a check goes through, or why there are none to go through.
struct ShortcutPaths {
    QStringList paths;
    QString error; // names the path; empty when it was read
};

// A folder gives every *.url below it in the listing runner's name order; a shortcut file
// (*.url, any case) gives itself; any other file gives its lines, read as the result file
// is read, empty lines skipped.
ShortcutPaths shortcutPathsIn(const QString& path);

} // namespace vorlan
