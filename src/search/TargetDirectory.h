#pragma once

namespace vorlan {

class Form1;

// The drive and directory choosers on the chooser panel fill Text1.
void Drive1_Change(Form1& form);
void Dir1_Change(Form1& form);
void Command4_Click(Form1& form);

} // namespace vorlan
