#pragma once

namespace vorlan {

class Form1;

// Writes what Text2 shows into hINFOforN.txt in the working folder and opens it with the
// desktop; an empty Text2 gives a fixed sentence instead.
void Command8_Click(Form1& form);

} // namespace vorlan
