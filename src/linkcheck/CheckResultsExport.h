#pragma once

namespace vorlan {

class Form1;

// Writes the rows of the last check run, as far as it came, into a file the user chooses:
// CSV, or TSV or JSON by the file name's extension (File > Save check results...).
void SaveResults_Click(Form1& form);

} // namespace vorlan
