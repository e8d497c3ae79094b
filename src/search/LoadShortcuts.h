#pragma once

namespace vorlan {

class Form1;

// Loads the search's result file into List1, shows the count in the caption and enables
// the labels that work on the list; tells the user when there is nothing to load yet.
void Command2_Click(Form1& form);

} // namespace vorlan
