#pragma once

namespace vorlan {

class Form1;

// Connects the link check, the results panel, page download and header export to the
// window's controls.
void connectLinkCheck(Form1& form);

} // namespace vorlan
