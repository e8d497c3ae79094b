#pragma once

#include <QString>

namespace vorlan {

enum class SearchOrder { ByDate, ByName };

// The listing script's text without its final line end: "@echo off", CR LF, and the dir
// command that lists every shortcut below targetDirectory into the result file, which is
// in the working folder VOR under dataFolder.
// separator is the path separator the script uses ('\\' or '/').
QString listingScriptText(const QString& targetDirectory, SearchOrder order,
                          const QString& dataFolder, QChar separator);

} // namespace vorlan
