#pragma once

#include "platform/Result.h"

#include <QString>
#include <QStringList>

namespace vorlan {

// The result file of a search, url.txt in the working folder: one full shortcut path per
// line, in the order the search found them.
QString resultFilePath(const QString& workingFolder);

// The result file's lines, read in the locale's encoding (they name files on disk). A failure
// names the file and the reason.
Result<QStringList> readResultFile(const QString& workingFolder);

// The result file's lines for a command that works on every shortcut in it (the link check,
// the link list page): read as above, and refused with a message asking for a prepared list
// when the file has no line or its last line is empty.
Result<QStringList> readPreparedResultFile(const QString& workingFolder);

} // namespace vorlan
