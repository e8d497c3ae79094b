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
int windows1252Code(QChar c);

// A character's code in UTF-8 when it takes one byte there (ASCII), else -1: a character
// that takes more than one byte has no single-byte code.
int utf8Code(QChar c);

// The character codes of the encoding a text was read in.
using CharacterCodeFunction = int (*)(QChar);

} // namespace vorlan
