#pragma once

#include "CharacterCode.h"

#include <QString>
#include <stdexcept>

namespace vorlan {

// A failure of the shortcut reader, carrying the error number the callers record.
class ReaderError : public std::runtime_error {
  public:
    enum class Kind {
        InvalidArgument, // the backward scan fell below the first character (number 5)
        Overflow,        // a position or the scan counter passed the 16-bit limit (number 6)
        Unreadable       // the shortcut file exists but cannot be read (number 75)
    };
    ReaderError(Kind kind, const QString& what);
    Kind kind() const { return kind_; }
    int number() const;

  private:
    Kind kind_;
};

using CharacterCodeFunction = int (*)(QChar);

// The largest shortcut file read. Real ones hold a few hundred bytes; reading a huge one
// would hold up the window for as long as its scan takes.
inline constexpr qint64 kMaxShortcutFileBytes = 1024 * 1024;

// The extraction step on one text: drops an "[InternetShortcut]" prefix, requires a dot,
// trims characters of the two code ranges (1-30, 129-254) at the end, and stores the rest,
// trimmed of blanks, into currentAddress. Leaves currentAddress unchanged when nothing is
// stored. Positions count characters as code points: a surrogate pair is one character and
// is never split. Throws ReaderError (InvalidArgument, Overflow). Never runs pending events.
void GST(QString text, QString& currentAddress, CharacterCodeFunction code = characterCode);

// Reads one shortcut file and runs GST on the text after every "URL" in it; the last
// stored value stays in currentAddress. A missing file (or a directory) changes nothing.
// Throws ReaderError: GST's errors, and Unreadable (also for a file larger than
// kMaxShortcutFileBytes), whose message names the file and the reason. The file is read whole and
// closed before any line is looked at.
void OandGurl(const QString& shortcutPath, QString& currentAddress);

// The address a check run reads from a shortcut file: the one OandGurl stores, or empty when
// it stores none or fails.
QString readShortcutAddress(const QString& shortcutPath);

} // namespace vorlan
