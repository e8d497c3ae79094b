#pragma once

#include "platform/Result.h"

#include <QString>

namespace vorlan {

class Form1;

// Reads the result file line by line into tmpURL, so that afterwards it holds the last line
// read (unchanged when the file has no line), and appends every non-empty line to List1.
// Returns a copy of tmpURL. When the file cannot be read, no line is read: tmpURL and List1
// stay as they were and the failure names the file and the reason.
Result<QString> CHeckURLtxtstor(Form1& form, QString& tmpURL);

// Loads the search's result file into List1, shows the count in the caption and enables
// the labels that work on the list; tells the user when there is nothing to load yet.
void Command2_Click(Form1& form);

// Lists the target directory again, as a search in the chosen order would, into the result
// file, and loads it: for when shortcuts were moved (a tidy). The listing runs here rather
// than in the background so that the list is complete when loaded.
void reloadFromNewSearch(Form1& form);

} // namespace vorlan
