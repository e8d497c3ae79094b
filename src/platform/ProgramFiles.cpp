#include "platform/ProgramFiles.h"

#include "platform/Platform.h"

#include <QDir>
#include <QFileInfo>

namespace vorlan {

QStringList programFilePlaces(const QString& programFolder, ProgramFile file) {
    // The installed folders are given relative to the installed bin folder by the build.
    const bool runner = file == ProgramFile::ListingRunner;
    const QString name = runner ? QStringLiteral("listing") : QStringLiteral("HelpVorlan.htm");
    const QString installedFolder = runner ? QStringLiteral(VORLAN_INSTALLED_RUNNER_FOLDER)
                                           : QStringLiteral(VORLAN_INSTALLED_DATA_FOLDER);
    return {
        programFolder + kPathSeparator + name,
        QDir::cleanPath(programFolder + kPathSeparator + installedFolder + kPathSeparator + name)};
}

QString programFilePath(const QString& programFolder, ProgramFile file) {
    const QStringList places = programFilePlaces(programFolder, file);
    for (const QString& place : places) {
        if (QFileInfo(place).isFile())
            return place;
    }
    return places.first();
}

bool runsInstalled(const QString& programFolder) {
    const QStringList places = programFilePlaces(programFolder, ProgramFile::ListingRunner);
    return !QFileInfo(places[0]).isFile() && QFileInfo(places[1]).isFile();
}

} // namespace vorlan
