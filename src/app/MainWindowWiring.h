#pragma once

namespace vorlan {

class Form1;

// Connects every control and menu item of the main window to its handler.
void connectMainWindow(Form1& form);

} // namespace vorlan
