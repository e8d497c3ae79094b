#pragma once

#include "platform/CharacterCode.h"
#include "platform/Result.h"

#include <QString>
#include <QStringList>

namespace vorlan {

// The largest shortcut file read. Real ones hold a few hundred bytes; reading a huge one
// would hold up the window for as long as its scan takes.
inline constexpr qint64 kMaxShortcutFileBytes = 1024 * 1024;

// A shortcut file's lines and the character codes of the encoding they were read in: UTF-8
// when the whole file is valid UTF-8, else the Windows code page 1252, in which every byte
// is a character (shortcut files come from other systems). Fails with run-time error 75
// when the file cannot be read or is larger than kMaxShortcutFileBytes.
struct ShortcutText {
    QStringList lines;
    CharacterCodeFunction code = utf8Code;
};
Result<ShortcutText> readShortcutText(const QString& shortcutPath);
// The same for a shortcut file's bytes already read.
ShortcutText decodeShortcutText(const QByteArray& bytes);

// The extraction step on one text: drops an "[InternetShortcut]" prefix, requires a dot,
// trims characters of the two code ranges (1-30, 129-254) at the end, and stores the rest,
// trimmed of blanks, into currentAddress. Leaves currentAddress unchanged when nothing is
// stored. `code` gives a character's code in the encoding the text was read in. Positions
// count characters as code points: a surrogate pair is one character and is never split. Fails with
// run-time error 5 (the backward scan fell below the first character) or 6 (a position or the scan
// counter passed the 16-bit limit). Never runs pending events.
Result<void> GST(QString text, QString& currentAddress, CharacterCodeFunction code = utf8Code);

// Runs GST on the text after every "URL" in the lines; the last stored value stays in
// currentAddress. Gives the index of the line that stored it, -1 when none did. Fails as GST.
Result<qsizetype> scanShortcutLines(const ShortcutText& text, QString& currentAddress);

// Reads one shortcut file and runs GST on the text after every "URL" in it; the last
// stored value stays in currentAddress. A missing file (or a directory) changes nothing.
// Fails with GST's errors, and with run-time error 75 when the file exists but cannot be read
// (also for a file larger than kMaxShortcutFileBytes), its message naming the file and the
// reason. The file is read whole and closed before any line is looked at.
Result<void> OandGurl(const QString& shortcutPath, QString& currentAddress);

// The address a check run reads from a shortcut file: the one OandGurl stores, or empty when
// it stores none or fails.
QString readShortcutAddress(const QString& shortcutPath);

} // namespace vorlan
