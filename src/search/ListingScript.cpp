#include "search/ListingScript.h"

namespace vorlan {

QString listingScriptText(const QString& targetDirectory, SearchOrder order,
                          const QString& dataFolder, QChar separator) {
    const QString sortSwitch =
        order == SearchOrder::ByDate ? QStringLiteral("/o:d ") : QStringLiteral("/o:n ");
    const QString resultFile =
        dataFolder + separator + QStringLiteral("VOR") + separator + QStringLiteral("url.txt");
    return QStringLiteral("@echo off\r\n") + QStringLiteral("dir ") + u'"' + targetDirectory +
           separator + QStringLiteral("*.url") + u'"' + QStringLiteral(" /s /b ") + sortSwitch +
           QStringLiteral(" > ") + u'"' + resultFile + u'"';
}

} // namespace vorlan
