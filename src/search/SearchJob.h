#pragma once

#include "platform/Result.h"

#include <QString>

namespace vorlan {

class Form1;

// Validates the target directory in Text1, writes the listing script into the working
// folder and starts the listing in the background.
void Command1_Click(Form1& form);

// Writes the listing script for the target directory in Text1 and the chosen order.
Result<void> writeListingScript(Form1& form);

// The listing script's path in the working folder.
QString listingScriptPath(const Form1& form);

// True, after telling the user, while a link check run is in progress: a search or a load
// then would change what the run's rows stand for.
bool refusedDuringLinkCheck(Form1& form);

} // namespace vorlan
