#pragma once

namespace vorlan {

class Form1;

// Connects "Save list as HTML", the label and the File menu item, to its handler.
void connectExport(Form1& form);

} // namespace vorlan
