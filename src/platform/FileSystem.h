#pragma once

#include "Result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace vorlan {

enum class EntryKind {
    FilesOnly,          // the normal attribute: plain files
    FilesAndDirectories // the directory attribute: a plain file matches too
};

// The directory-entry query used as an existence test. An entry of exactly that name
// counts; otherwise a last path component holding '*' or '?' matches like a wildcard (any
// run of characters, any one character, case ignored). An empty path means the root.
bool entryExists(const QString& path, EntryKind kind);

// Creates one directory; a failure names it and the reason.
Result<void> makeDirectory(const QString& path);

// How the bytes of a text file become text.
enum class TextDecoding {
    // The locale's 8-bit encoding (UTF-8 here), that of file names: for files of paths,
    // such as the result file, whose lines must name the files on disk.
    Locale,
    // UTF-8 when the whole file is valid UTF-8, else the Windows code page 1252: for files
    // that may come from elsewhere, such as shortcut files.
    Utf8OrWindows1252
};

// A text file read whole: its lines in file order without their line ends. CR LF, a lone
// LF and a lone CR each end a line; an empty file has no line. Only plain files of at most
// maxBytes are read; anything else fails, naming the file and the reason.
inline constexpr qint64 kMaxTextFileBytes = 64 * 1024 * 1024;
Result<QStringList> readTextLines(const QString& path, qint64 maxBytes = kMaxTextFileBytes,
                                  TextDecoding decoding = TextDecoding::Locale);

// Splits decoded text into lines by the rule above.
QStringList splitTextLines(const QString& text);

// Writes bytes to a temporary file beside path and renames it into place, so a failure
// never leaves a half-written file nor destroys the old one. A failure names the file and
// the reason.
Result<void> writeFileAtomically(const QString& path, const QByteArray& bytes);

// Writes text in the locale's 8-bit encoding followed by CR LF, atomically as above.
Result<void> writeTextFile(const QString& path, const QString& text);

// The text's bytes in the locale's 8-bit encoding.
QByteArray toLocal8Bit(const QString& text);

} // namespace vorlan
