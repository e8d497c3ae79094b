#pragma once

#include <QStringList>

namespace vorlan {

// The files that come with the program. A build tree or an unpacked copy keeps them beside
// the executable; an installation puts them in their own folders next to its bin folder.
enum class ProgramFile { ListingRunner, HelpPage };

// The places a file is looked for, in order: beside the executable, then where an
// installation puts it.
QStringList programFilePlaces(const QString& programFolder, ProgramFile file);

// The first of those places that holds the file; the place beside the executable when none
// does.
QString programFilePath(const QString& programFolder, ProgramFile file);

// True when the program runs from an installation: its runner is not beside it but in the
// installed place.
bool runsInstalled(const QString& programFolder);

// The folder that holds the working folder and the default download folder: the program
// folder of a build tree or an unpacked copy where it is writable, else the user's data
// folder for the program (made when missing).
QString dataFolderOf(const QString& programFolder);
// The working folder inside it: the search's script and result file, the check history.
QString workingFolderOf(const QString& dataFolder);

} // namespace vorlan
