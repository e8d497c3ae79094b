#include "shortcuts/ResultFile.h"

#include "platform/FileSystem.h"
#include "platform/Platform.h"

namespace vorlan {

QString resultFilePath(const QString& workingFolder) {
    return workingFolder + kPathSeparator + QStringLiteral("url.txt");
}

Result<QStringList> readResultFile(const QString& workingFolder) {
    return readTextLines(resultFilePath(workingFolder));
}

Result<QStringList> readPreparedResultFile(const QString& workingFolder) {
    Result<QStringList> lines = readResultFile(workingFolder);
    if (lines.ok() && (lines.value().isEmpty() || lines.value().last().isEmpty()))
        return Failure{runtime_error::kPathFileAccess,
                       QStringLiteral("Created list of shortcuts are empty that cannot create "
                                      "HTML.\r\nPlease make sure that list is prepared.")};
    return lines;
}

} // namespace vorlan
