#pragma once

#include "app/HeadlessCheck.h"
#include "history/TidyPlan.h"

#include <QString>
#include <QStringList>

namespace vorlan {

// The program's options: a check, a tidy or its undoing, help, the version, or what is wrong
// with them. A tidy checks its folder with the check's options first.
struct CommandLine {
    enum class Action { Check, Tidy, UndoTidy, Help, Version, Error };
    Action action = Action::Check;
    CheckOptions check;
    TidyOptions tidy;
    bool apply = false; // a tidy does the selected actions instead of only listing them
    QString error;
};

// Reads the arguments that follow the program name. The format is --format when given, else
// the --output file's extension, else TSV.
CommandLine parseCommandLine(const QStringList& arguments);

// Runs the program as its options say, without a window and without a display; returns the
// exit status: 0 when every row is GOOD, 1 when some row is not, 2 for a usage or input error.
int runCommandLine(int argc, char** argv);

} // namespace vorlan
