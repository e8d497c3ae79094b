#pragma once

#include <QChar>

namespace vorlan {

// A character's code in the locale's 8-bit encoding (UTF-8 here), or -1 for a character
// that takes two or more bytes there.
int characterCode(QChar c);

} // namespace vorlan
