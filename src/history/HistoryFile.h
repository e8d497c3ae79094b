#pragma once

#include "history/Sqlite.h"

namespace vorlan {

// The schema version this program writes (PRAGMA user_version), so that a later one can
// migrate the file.
inline constexpr int kHistorySchemaVersion = 1;

// The history file in a working folder: history.sqlite.
QString historyFileIn(const QString& workingFolder);

// Opens the history file, creating it with its tables, in WAL mode. A file that is not an
// SQLite database or is damaged is renamed aside (never deleted) and the failure says so; a
// read-only file or folder, or a file of a newer schema, fails too.
Result<sqlite::Database> openHistoryFile(const QString& path);

} // namespace vorlan
