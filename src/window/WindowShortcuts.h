#pragma once

namespace vorlan {

class Form1;

// Makes the menu items' shortcut keys work window-wide: text fields and lists no longer
// claim Ctrl+C, Ctrl+X, Ctrl+A and the others for their own editing, so the menu item
// runs, and a key whose item is disabled does nothing anywhere.
void installWindowShortcuts(Form1& form);

} // namespace vorlan
