#include "app/HeadlessTidy.h"

#include "history/TidyApply.h"
#include "linkcheck/engine/ReportWriter.h"
#include "shortcuts/ShortcutPaths.h"

#include <QFileInfo>
#include <QHash>
#include <cstdio>

namespace vorlan {

namespace {

QString actionOf(const TidyProposal& proposal) {
    if (proposal.reason != TidyReason::Moved)
        return QStringLiteral("set aside");
    return proposal.proposed.isEmpty() ? QStringLiteral("none") : QStringLiteral("rewrite");
}

QString outcomeText(const TidyOutcome& outcome) {
    return outcome.done ? QStringLiteral("done") : QStringLiteral("refused: ") + outcome.refusal;
}

void writeLine(const QStringList& fields) {
    QStringList escaped;
    for (const QString& field : fields)
        escaped.append(tsvField(field));
    std::fputs(qPrintable(escaped.join(u'\t') + u'\n'), stdout);
}

// 0 when every outcome is done, 1 when some was refused.
int statusOf(const std::vector<TidyOutcome>& outcomes) {
    return std::all_of(outcomes.begin(), outcomes.end(),
                       [](const TidyOutcome& outcome) { return outcome.done; })
               ? 0
               : 1;
}

} // namespace

int runHeadlessTidy(const CheckOptions& check, const TidyOptions& tidy, bool apply) {
    if (!check.recordHistory)
        return inputError(QStringLiteral("a tidy plans from the check history: drop --no-history"));
    if (!QFileInfo(tidy.targetDirectory).isDir())
        return inputError(QStringLiteral("%1 is not a folder").arg(tidy.targetDirectory));
    const Result<QStringList> shortcuts = shortcutPathsIn(tidy.targetDirectory);
    if (!shortcuts.ok())
        return inputError(shortcuts.failure().message);
    // The check's report is not wanted, only its rows in the history.
    CheckOptions recording = check;
    recording.output = QStringLiteral("/dev/null");
    // A usage error, or a check stopped by a signal, ends the tidy there.
    if (const int checked = checkShortcuts(recording, shortcuts.value()); checked > 1)
        return checked;
    const QString historyPath = historyPathOf(check);
    Result<CheckHistory> history = CheckHistory::open(historyPath);
    if (!history.ok())
        return inputError(history.failure().message);
    const Result<std::vector<TidyProposal>> plan =
        planTidy(history.value(), shortcuts.value(), tidy);
    if (!plan.ok())
        return inputError(plan.failure().message);

    QHash<QString, TidyOutcome> outcomes;
    std::vector<TidyOutcome> done;
    if (apply) {
        done = applyTidy(historyPath, plan.value());
        for (const TidyOutcome& outcome : done)
            outcomes.insert(outcome.shortcutPath, outcome);
    }
    QStringList header = {QStringLiteral("action"), QStringLiteral("shortcut"),
                          QStringLiteral("now"),    QStringLiteral("proposed"),
                          QStringLiteral("why"),    QStringLiteral("selected")};
    if (apply)
        header.append(QStringLiteral("outcome"));
    writeLine(header);
    for (const TidyProposal& proposal : plan.value()) {
        QStringList fields = {
            actionOf(proposal), proposal.shortcutPath,
            proposal.now,       proposal.proposed,
            proposal.why,       proposal.selected ? QStringLiteral("yes") : QStringLiteral("no")};
        if (apply) {
            const auto outcome = outcomes.constFind(proposal.shortcutPath);
            fields.append(outcome == outcomes.cend() ? QString() : outcomeText(*outcome));
        }
        writeLine(fields);
    }
    return statusOf(done);
}

int runHeadlessUndoTidy(const CheckOptions& check) {
    const std::vector<TidyOutcome> outcomes = undoLastTidy(historyPathOf(check));
    for (const TidyOutcome& outcome : outcomes)
        writeLine({outcome.shortcutPath, outcomeText(outcome)});
    return statusOf(outcomes);
}

} // namespace vorlan
