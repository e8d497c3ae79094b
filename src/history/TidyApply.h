#pragma once

#include "history/Tidy.h"

#include <vector>

namespace vorlan {

// Applies the selected proposals in order, each journaled in the history file before it is
// done and marked done after; a proposal that is not selected, or a move of an address with
// no proposed address (only reported), does nothing and has no outcome. A refused proposal
// says why, and the rest go on.
std::vector<TidyOutcome> applyTidy(const QString& historyPath,
                                   const std::vector<TidyProposal>& proposals);

// Puts every done action of the last tidy back, newest first, and marks it undone, so that a
// second undo does nothing more. Refuses, with a reason, where a file changed after the tidy
// or its original place is taken; actions an interrupted tidy recorded but did not do are
// only marked.
std::vector<TidyOutcome> undoLastTidy(const QString& historyPath);

} // namespace vorlan
