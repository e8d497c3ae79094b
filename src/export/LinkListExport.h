#pragma once

namespace vorlan {

class Form1;

// Writes the page of links to every found shortcut, urlLIST.htm, into the folder the user
// names, and offers to open it.
void Label4_Click(Form1& form);

} // namespace vorlan
