#pragma once

namespace vorlan {

class Form1;

// Fills List2 with what the extraction step reads out of each line of the shortcut
// selected in List1, and lets List3 follow List1 while the check results are shown.
// Ends quietly on a file that cannot be read and on a failing extraction step.
void List1_Click(Form1& form);

} // namespace vorlan
