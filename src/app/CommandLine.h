#pragma once

#include "app/HeadlessCheck.h"

#include <QString>
#include <QStringList>

namespace vorlan {

// The program's options: a check, help, the version, or what is wrong with them.
struct CommandLine {
    enum class Action { Check, Help, Version, Error };
    Action action = Action::Check;
    CheckOptions check;
    QString error;
};

// Reads the arguments that follow the program name. The format is --format when given, else
// the --output file's extension, else TSV.
CommandLine parseCommandLine(const QStringList& arguments);

// Runs the program as its options say, without a window and without a display; returns the
// exit status: 0 when every row is GOOD, 1 when some row is not, 2 for a usage or input error.
int runCommandLine(int argc, char** argv);

} // namespace vorlan
