#pragma once

#include "app/HeadlessCheck.h"
#include "history/TidyPlan.h"

namespace vorlan {

// Checks every shortcut below the tidy's target directory, recording into the history, then
// writes the plan as TSV on stdout (action, shortcut, now, proposed, why, selected) and, with
// apply, does the selected actions and ends each line with what became of it. Returns the
// exit status: 0 when every selected action was done or none was asked for, 1 when some were
// refused, 2 for a usage or input error (told on stderr).
int runHeadlessTidy(const CheckOptions& check, const TidyOptions& tidy, bool apply);

// Puts back what the last tidy recorded in the history did, newest first, one line each on
// stdout: the shortcut and done or refused: <reason>. Exit status as above.
int runHeadlessUndoTidy(const CheckOptions& check);

} // namespace vorlan
