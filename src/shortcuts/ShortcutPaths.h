#pragma once

#include "platform/Result.h"

#include <QStringList>

namespace vorlan {

// The shortcut files a check goes through, or why there are none (naming the path). A folder gives
// every *.url below it in the listing runner's name order; a shortcut file
// (*.url, any case) gives itself; any other file gives its lines, read as the result file
// is read, empty lines skipped.
Result<QStringList> shortcutPathsIn(const QString& path);

} // namespace vorlan
