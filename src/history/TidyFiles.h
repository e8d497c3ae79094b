#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace vorlan {

// Why a shortcut file may not be tidied, in words, or nothing when it may: it is gone, a
// symbolic link, not a plain file, read-only, or its size or modification time (milliseconds
// since 1970) differ from those it was checked with, where those are known.
std::optional<QString> refusalToTidy(const QString& path, std::optional<qint64> checkedSize,
                                     std::optional<qint64> checkedModified);

// Whether anything stands at the path, a dangling symbolic link included.
bool entryThere(const QString& path);

// The bytes of the plain file at the path (never one a symbolic link leads to), or nothing
// when there is none or it cannot be read.
std::optional<QByteArray> plainFileBytes(const QString& path);

// The path itself when nothing stands there, else the first free one of "name (2).url",
// "name (3).url", ... (the number before a ".url" ending, else at the end).
QString freePath(const QString& path);

// Moves a file, never replacing anything at `to`. Across file systems the file's bytes,
// its permissions and times are copied to a temporary file beside `to`, flushed to disk,
// renamed into place and only then is `from` removed. A failure says why in words.
Result<void> moveFile(const QString& from, const QString& to);

} // namespace vorlan
