#include "history/TidyApply.h"

#include "history/ShortcutRewrite.h"
#include "history/TidyFiles.h"
#include "history/TidyJournal.h"
#include "platform/FileSystem.h"

#include <QDir>
#include <QFileInfo>

namespace vorlan {

namespace {

using Kind = TidyJournal::Kind;

TidyOutcome done(const QString& path) {
    return {path, true, {}};
}

TidyOutcome refused(const QString& path, const QString& why) {
    return {path, false, why};
}

bool acts(const TidyProposal& proposal) {
    return proposal.selected && !proposal.proposed.isEmpty();
}

// Journals an action, does it and marks it done, or failed when doing it failed.
template <typename Act>
TidyOutcome journaled(TidyJournal& journal, const TidyJournal::Action& action, Act act) {
    const Result<qint64> id = journal.record(action);
    if (!id.ok())
        return refused(
            action.path,
            QStringLiteral("the tidy could not be recorded: %1").arg(id.failure().message));
    if (const Result<void> acted = act(); !acted.ok()) {
        static_cast<void>(journal.mark(id.value(), "failed"));
        return refused(action.path, acted.failure().message);
    }
    // Unmarked, the action stays 'recorded', and an undo tells from the file that it was done.
    static_cast<void>(journal.mark(id.value(), "done"));
    return done(action.path);
}

TidyOutcome rewrite(TidyJournal& journal, const TidyProposal& proposal) {
    const std::optional<QByteArray> bytes = plainFileBytes(proposal.shortcutPath);
    if (!bytes)
        return refused(proposal.shortcutPath, QStringLiteral("it could not be read"));
    const Result<QByteArray> rewritten =
        rewriteShortcutAddress(*bytes, proposal.now, proposal.proposed);
    if (!rewritten.ok())
        return refused(proposal.shortcutPath, rewritten.failure().message);
    return journaled(journal,
                     {0, Kind::Rewrite, proposal.shortcutPath, {}, *bytes, rewritten.value()},
                     [&] { return writeFileAtomically(proposal.shortcutPath, rewritten.value()); });
}

// Makes the folders missing above `path`, each journaled so that an undo removes it.
Result<void> makeFolders(TidyJournal& journal, const QString& path) {
    QStringList missing;
    for (QString folder = QFileInfo(path).path(); !entryThere(folder);
         folder = QFileInfo(folder).path())
        missing.prepend(folder);
    for (const QString& folder : missing) {
        const TidyOutcome made = journaled(journal, {0, Kind::Folder, folder, {}, {}, {}},
                                           [&] { return makeDirectory(folder); });
        if (!made.done)
            return Failure{runtime_error::kPathFileAccess, made.refusal};
    }
    return {};
}

TidyOutcome move(TidyJournal& journal, const TidyProposal& proposal) {
    const std::optional<QByteArray> bytes = plainFileBytes(proposal.shortcutPath);
    if (!bytes)
        return refused(proposal.shortcutPath, QStringLiteral("it could not be read"));
    if (const Result<void> made = makeFolders(journal, proposal.proposed); !made.ok())
        return refused(proposal.shortcutPath, made.failure().message);
    const QString target = freePath(proposal.proposed);
    return journaled(journal, {0, Kind::Move, proposal.shortcutPath, target, *bytes, {}},
                     [&] { return moveFile(proposal.shortcutPath, target); });
}

// The file at the path holds exactly these bytes.
bool holds(const QString& path, const QByteArray& bytes) {
    return plainFileBytes(path) == bytes;
}

const QString kChangedAfter = QStringLiteral("it changed after the tidy");

// Puts a rewritten file's old bytes back; one never rewritten (the tidy was interrupted)
// is left as it is.
Result<void> undoRewrite(const TidyJournal::Action& action) {
    if (!entryThere(action.path))
        return Failure{0, QStringLiteral("it is gone")};
    if (holds(action.path, action.oldBytes))
        return {};
    if (!holds(action.path, action.newBytes))
        return Failure{0, kChangedAfter};
    return writeFileAtomically(action.path, action.oldBytes);
}

// Moves a file back. One never moved is left as it is; a copy across file systems whose
// original was not yet removed is removed.
Result<void> undoMove(const TidyJournal::Action& action) {
    const bool original = holds(action.path, action.oldBytes);
    if (!entryThere(action.newPath))
        return original ? Result<void>() : Failure{0, QStringLiteral("it is gone")};
    if (!holds(action.newPath, action.oldBytes))
        return Failure{0, kChangedAfter};
    if (original) {
        if (!QFile::remove(action.newPath))
            return Failure{0, QStringLiteral("its copy could not be removed")};
        return {};
    }
    if (entryThere(action.path))
        return Failure{0, QStringLiteral("its original place is taken")};
    if (!QDir().mkpath(QFileInfo(action.path).path()))
        return Failure{0, QStringLiteral("its original folder could not be made")};
    return moveFile(action.newPath, action.path);
}

} // namespace

std::vector<TidyOutcome> applyTidy(const QString& historyPath,
                                   const std::vector<TidyProposal>& proposals) {
    std::vector<TidyOutcome> outcomes;
    Result<TidyJournal> journal = TidyJournal::open(historyPath);
    for (const TidyProposal& proposal : proposals) {
        if (!acts(proposal))
            continue;
        if (!journal.ok()) {
            outcomes.push_back(refused(proposal.shortcutPath,
                                       QStringLiteral("the check history could not be opened: %1")
                                           .arg(journal.failure().message)));
        } else if (const std::optional<QString> refusal = refusalToTidy(
                       proposal.shortcutPath, proposal.checkedSize, proposal.checkedModified)) {
            outcomes.push_back(refused(proposal.shortcutPath, *refusal));
        } else {
            outcomes.push_back(proposal.reason == TidyReason::Moved
                                   ? rewrite(journal.value(), proposal)
                                   : move(journal.value(), proposal));
        }
    }
    return outcomes;
}

std::vector<TidyOutcome> undoLastTidy(const QString& historyPath) {
    Result<TidyJournal> journal = TidyJournal::open(historyPath);
    if (!journal.ok())
        return {refused(historyPath, QStringLiteral("the check history could not be opened: %1")
                                         .arg(journal.failure().message))};
    const Result<std::vector<TidyJournal::Action>> actions = journal.value().lastTidyActions();
    if (!actions.ok())
        return {refused(historyPath, QStringLiteral("the check history could not be read: %1")
                                         .arg(actions.failure().message))};
    std::vector<TidyOutcome> outcomes;
    for (const TidyJournal::Action& action : actions.value()) {
        if (action.kind == Kind::Folder) {
            // Only an empty folder goes: one that holds anything now is kept.
            QDir().rmdir(action.path);
            static_cast<void>(journal.value().mark(action.id, "undone"));
            continue;
        }
        const Result<void> undone =
            action.kind == Kind::Rewrite ? undoRewrite(action) : undoMove(action);
        if (!undone.ok()) {
            outcomes.push_back(refused(action.path, undone.failure().message));
            continue;
        }
        static_cast<void>(journal.value().mark(action.id, "undone"));
        outcomes.push_back(done(action.path));
    }
    return outcomes;
}

} // namespace vorlan
