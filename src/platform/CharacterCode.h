#pragma once

#include <QByteArrayView>
#include <QChar>
#include <QString>

namespace vorlan {

// Text in the Windows code page 1252: every byte is one character. The five bytes the code
// page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the control characters of
// the same code, so that every byte reads as some character.
QString fromWindows1252(QByteArrayView bytes);

// A character's code in the Windows code page 1252 (as read above), or -1 for a character
// outside it.
int characterCode(QChar c);

} // namespace vorlan
