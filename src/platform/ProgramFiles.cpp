#include "platform/ProgramFiles.h"

#include "platform/Platform.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace vorlan {

namespace {

// Writable for this user. Root may write anywhere, so a folder without any write permission
// bit counts as read-only for root too.
bool writableFolder(const QString& folder) {
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable() &&
           info.permissions().testAnyFlags(QFile::WriteOwner | QFile::WriteGroup |
                                           QFile::WriteOther);
}

} // namespace

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

QString dataFolderOf(const QString& programFolder) {
    // A build tree or an unpacked copy keeps its files beside itself. An installed copy
    // never does, not even for root, who may write into the system's folders.
    if (!runsInstalled(programFolder) && writableFolder(programFolder))
        return programFolder;
    // $XDG_DATA_HOME/vorlan, by default ~/.local/share/vorlan; made here so that the
    // working folder can be created inside it.
    const QString userFolder =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + kPathSeparator +
        QStringLiteral("vorlan");
    QDir().mkpath(userFolder);
    return userFolder;
}

QString workingFolderOf(const QString& dataFolder) {
    return dataFolder + kPathSeparator + QStringLiteral("VOR");
}

} // namespace vorlan
