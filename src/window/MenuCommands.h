#pragma once

namespace vorlan {

class Form1;

// Enables the Edit items by the list that holds the focus; runs each time the Edit menu
// opens, from the menu bar or as a list's context menu.
void Edit_Click(Form1& form);
// Opens the help page beside the program with the desktop.
void HANDLE_Click(Form1& form);
// Connects the menu bar's own commands, the Edit menu's enabling rule and the window-wide
// shortcut keys.
void connectMenus(Form1& form);

} // namespace vorlan
