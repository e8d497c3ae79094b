#pragma once

namespace vorlan {

class Form1;

// Connects the lists' focus, mouse and tooltip handlers and the copy and navigate commands.
void connectLists(Form1& form);

} // namespace vorlan
