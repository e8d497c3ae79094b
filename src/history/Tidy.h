#pragma once

#include <QString>
#include <optional>

namespace vorlan {

// Why a shortcut is proposed for tidying: its address moved permanently (the address is
// rewritten), it has been broken (it is set aside), or another shortcut holds the same
// address (it is set aside).
enum class TidyReason { Moved, Broken, Duplicate };

// One proposed change to a collection of shortcuts.
struct TidyProposal {
    TidyReason reason = TidyReason::Broken;
    QString shortcutPath{};
    // Moved: the address the shortcut holds and the one proposed (empty when the move is only
    // reported). Broken and Duplicate: the shortcut's path and its path in the set-aside
    // folder, below it as the shortcut is below the target directory.
    QString now{};
    QString proposed{};
    QString why{}; // in words, e.g. "moved permanently (301) to https://..."
    bool selected = false;
    // The shortcut file as it was checked: a file changed since is refused.
    std::optional<qint64> checkedSize{};
    std::optional<qint64> checkedModified{}; // milliseconds since 1970, UTC
};

// What became of one selected proposal when it was applied or undone.
struct TidyOutcome {
    QString shortcutPath{};
    bool done = false;
    QString refusal{}; // why it was not done
};

} // namespace vorlan
