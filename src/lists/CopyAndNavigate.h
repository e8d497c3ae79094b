#pragma once

namespace vorlan {

class Form1;

// Copies the selected item of the focused list to the clipboard.
void Copy_Click(Form1& form);
// Opens the selected shortcut (the address it holds), or the selected checked address while
// the results list holds the focus, with the desktop. Nothing selected opens nothing.
void List1_DblClick(Form1& form);
void Label1_Click(Form1& form);
void Navi_Click(Form1& form);

} // namespace vorlan
