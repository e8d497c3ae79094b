#pragma once

namespace vorlan {

class Form1;

// Connects File > "Tidy shortcuts..." to the tidy window.
void connectTidy(Form1& form);

} // namespace vorlan
