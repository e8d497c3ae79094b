#pragma once

namespace vorlan {

class Form1;

// Help > About shows the one About window, loading it when it is not loaded; closing the
// main window closes it.
void connectAbout(Form1& form);

} // namespace vorlan
