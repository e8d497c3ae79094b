#pragma once

namespace vorlan {

class Form1;

// Connects the shortcut search's controls and menu items to their handlers.
void connectSearch(Form1& form);

} // namespace vorlan
