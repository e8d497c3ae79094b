#pragma once

#include "platform/Result.h"

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

// A file's bytes read whole. Only plain files of at most maxBytes are read; anything else
// fails, naming the file and the reason.
inline constexpr qint64 kMaxTextFileBytes = 64 * 1024 * 1024;
Result<QByteArray> readFileBytes(const QString& path, qint64 maxBytes = kMaxTextFileBytes);

// A text file read whole as above, in the locale's 8-bit encoding (that of file names, as
// the lines of a result file name files on disk): its lines in file order without their
// line ends. CR LF, a lone LF and a lone CR each end a line; an empty file has no line.
Result<QStringList> readTextLines(const QString& path, qint64 maxBytes = kMaxTextFileBytes);

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
