#pragma once

#include <cstddef>
#include <iterator>

namespace vorlan {

// The statements of the check history, each prepared once; their parameters are bound.
enum class HistoryQuery {
    LastResult,
    LastOfShortcut,
    AddRun,
    AddLink,
    AddShortcut,
    AddResult,
    TrimLink,
    EndRun,
    DropOldResults,
    DropOldLinks,
    DropOldShortcuts,
    DropOldRuns,
    Count
};

inline constexpr const char* kHistoryQueries[] = {
    // LastResult
    "SELECT status, good, failing_since, last_good, failures FROM links"
    " JOIN results ON link_id = links.id WHERE address = ?1 AND run_id <> ?2"
    " ORDER BY checked_at DESC, results.id DESC LIMIT 1",
    // LastOfShortcut
    "SELECT address, coalesce(final_address, address), status, code, good, hops, checked_at,"
    " failing_since, failures, shortcut_size, shortcut_modified FROM shortcuts"
    " JOIN results ON shortcut_id = shortcuts.id JOIN links ON links.id = link_id"
    " WHERE path = ?1 ORDER BY checked_at DESC, results.id DESC LIMIT 1",
    // AddRun
    "INSERT OR IGNORE INTO runs(id, started_at) VALUES(?1, ?2)",
    // AddLink
    "INSERT INTO links(address, last_checked) VALUES(?1, ?2) ON CONFLICT(address)"
    " DO UPDATE SET last_checked = max(last_checked, excluded.last_checked) RETURNING id",
    // AddShortcut
    "INSERT INTO shortcuts(path) VALUES(?1) ON CONFLICT(path) DO UPDATE SET path = excluded.path"
    " RETURNING id",
    // AddResult
    "INSERT INTO results(link_id, run_id, checked_at, shortcut_id, shortcut_size,"
    " shortcut_modified, status, code, final_address, hops, good, failing_since, last_good,"
    " failures) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14)",
    // TrimLink: all but the newest results of a link
    "DELETE FROM results WHERE link_id = ?1 AND checked_at < (SELECT checked_at FROM results"
    " WHERE link_id = ?1 ORDER BY checked_at DESC LIMIT 1 OFFSET ?2 - 1)",
    // EndRun
    "UPDATE runs SET ended_at = ?1, stopped = ?2 WHERE id = ?3",
    // DropOldResults
    "DELETE FROM results WHERE link_id IN (SELECT id FROM links WHERE last_checked < ?1)",
    // DropOldLinks
    "DELETE FROM links WHERE last_checked < ?1",
    // DropOldShortcuts: those no result names any more
    "DELETE FROM shortcuts WHERE NOT EXISTS (SELECT 1 FROM results WHERE shortcut_id = "
    "shortcuts.id)",
    // DropOldRuns
    "DELETE FROM runs WHERE ended_at < ?1",
};

static_assert(std::size(kHistoryQueries) == std::size_t(HistoryQuery::Count));

} // namespace vorlan
