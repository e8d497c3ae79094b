#pragma once

namespace vorlan {

class Form1;

// Mouse-move handlers that set tooltips and hand cursors while the pointer moves over a
// control. A disabled label receives no mouse events and so shows no hint.
void Command4_MouseMove(Form1& form);
void Text1_MouseMove(Form1& form);
void Label1_MouseMove(Form1& form);
void Label2_MouseMove(Form1& form);
void Label4_MouseMove(Form1& form);
void Label5_MouseMove(Form1& form);
void connectHoverHints(Form1& form);

} // namespace vorlan
