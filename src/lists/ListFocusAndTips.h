#pragma once

#include <Qt>

namespace vorlan {

class Form1;

// The shortcut list and the detail list track the keyboard focus, show their selected
// item as tooltip and open the Edit menu on a right click.
void List1_GotFocus(Form1& form);
void List1_LostFocus(Form1& form);
void List1_MouseDown(Form1& form, Qt::MouseButton button);
void List1_MouseUp(Form1& form);
void List2_GotFocus(Form1& form);
void List2_LostFocus(Form1& form);
void List2_MouseDown(Form1& form, Qt::MouseButton button);
void List2_MouseUp(Form1& form);

} // namespace vorlan
