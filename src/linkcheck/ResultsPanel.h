#pragma once

#include <Qt>

namespace vorlan {

class Form1;

// Shows the results panel (List3, List4 and their captions) in place of List2 while Check1
// is checked, and List2 while it is not.
void Check1_Click(Form1& form);

// Selecting a result row selects the same row of List4 and List1 and shows the row's
// stored header text in Text2.
void List3_Click(Form1& form);
// The right button opens the Edit menu when a row is selected; any other selects the row.
void List3_MouseDown(Form1& form, Qt::MouseButton button);
void List3_MouseUp(Form1& form);
void List3_GotFocus(Form1& form);
void List3_LostFocus(Form1& form);
void List4_Click(Form1& form);
void List4_MouseDown(Form1& form);

} // namespace vorlan
