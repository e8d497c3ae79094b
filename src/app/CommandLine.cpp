#include "app/CommandLine.h"

#include "app/HeadlessTidy.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

namespace vorlan {

namespace {

constexpr char kUsage[] =
    R"(Usage: Vorlan --check PATH [--format tsv|csv|json] [--output FILE] [--download DIR]
                    [--history FILE | --no-history]
       Vorlan --tidy FOLDER [--moved] [--duplicates] [--broken] [--aside DIR] [--apply]
                    [--history FILE]
       Vorlan --undo-tidy [--history FILE]
       Vorlan --help | --version
Without arguments Vorlan opens its window.

  --check PATH     check the address of every shortcut without a window. PATH is a folder
                   (every *.url below it, by name), a file of shortcut paths, one per line
                   (like VOR/url.txt), or one shortcut file; - reads the paths from
                   standard input, one per line.
  --format FORMAT  tsv, csv or json; by default the extension of FILE, else tsv.
  --output FILE    write the report into FILE, replaced once complete; by default stdout.
  --download DIR   save every fetched page into the existing folder DIR as <name>.htm.
  --history FILE   record the rows in the check history FILE; by default history.sqlite
                   in the working folder VOR.
  --no-history     record nothing.

  --tidy FOLDER    check every shortcut below FOLDER, record it in the history, and list
                   as TSV (action, shortcut, now, proposed, why, selected) what a tidy
                   proposes from the history: --moved, shortcuts whose address moved
                   permanently get the new address; --duplicates, the later of shortcuts with
                   the same address are set aside; --broken, broken shortcuts are set aside
                   (selected after 3 failed checks over 7 days). Without any of the three,
                   all are planned.
  --aside DIR      the set-aside folder; by default "FOLDER - set aside" beside FOLDER.
  --apply          do the selected actions; the list then ends each line with done or
                   refused: <reason>.
  --undo-tidy      put back what the last tidy did, newest first.
  --help           show this text.
  --version        show the version.

The report has one row per shortcut: shortcut, address, status (GOOD, POOR, or an error
number and word), code (the HTTP status, 0 when none), final_address, and from the check
history: previous_status (the status at the check before), failing_since (since when the
address has failed, with no GOOD between) and last_good (when it was last GOOD), times in
ISO 8601 UTC, empty when unknown; JSON adds header.
Progress goes to stderr when it is a terminal. Ctrl+C (SIGINT) or SIGTERM stops the check
at once: the rows so far are written, and stderr says how many.
Exit status: 0 when every row is GOOD, 1 when some row is not, 2 for a usage or input error,
130 or 143 when stopped by SIGINT or SIGTERM, 141 when the report's output was closed; for
--tidy --apply and --undo-tidy, 0 when every selected action was done, 1 when some were
refused.
)";

} // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    CommandLine command;
    const auto only = [](CommandLine::Action action, const QString& error = {}) {
        CommandLine line;
        line.action = action;
        line.error = error;
        return line;
    };
    const auto failure = [&only](const QString& error) {
        return only(CommandLine::Action::Error, error);
    };
    CheckOptions& check = command.check;
    TidyOptions& tidy = command.tidy;
    QString format;
    bool undoTidy = false;
    bool kindNamed = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == u"--help")
            return only(CommandLine::Action::Help);
        if (argument == u"--version")
            return only(CommandLine::Action::Version);
        bool* flag = argument == u"--no-history"   ? &check.recordHistory
                     : argument == u"--apply"      ? &command.apply
                     : argument == u"--undo-tidy"  ? &undoTidy
                     : argument == u"--moved"      ? &tidy.moved
                     : argument == u"--duplicates" ? &tidy.duplicates
                     : argument == u"--broken"     ? &tidy.broken
                                                   : nullptr;
        if (flag) { // each flag sets its option; --no-history clears recording
            const bool kind =
                flag == &tidy.moved || flag == &tidy.duplicates || flag == &tidy.broken;
            if (kind && !std::exchange(kindNamed, true))
                tidy.moved = tidy.duplicates = tidy.broken = false; // only the kinds named
            *flag = flag != &check.recordHistory;
            continue;
        }
        QString* value = argument == u"--check"      ? &check.path
                         : argument == u"--tidy"     ? &tidy.targetDirectory
                         : argument == u"--format"   ? &format
                         : argument == u"--output"   ? &check.output
                         : argument == u"--download" ? &check.downloadFolder
                         : argument == u"--history"  ? &check.historyPath
                         : argument == u"--aside"    ? &tidy.asideFolder
                                                     : nullptr;
        if (value == nullptr)
            return failure(argument.startsWith(u"--")
                               ? QStringLiteral("unknown option %1").arg(argument)
                               : QStringLiteral("unexpected argument %1").arg(argument));
        if (i + 1 == arguments.size() || arguments[i + 1].isEmpty())
            return failure(QStringLiteral("%1 needs a value").arg(argument));
        *value = arguments[++i];
    }
    if (undoTidy) {
        command.action = CommandLine::Action::UndoTidy;
        return command;
    }
    if (!tidy.targetDirectory.isEmpty()) {
        command.action = CommandLine::Action::Tidy;
        check.path = tidy.targetDirectory;
        return command;
    }
    if (check.path.isEmpty())
        return failure(QStringLiteral("--check PATH is missing"));
    if (!format.isEmpty()) {
        const std::optional<ReportFormat> named = reportFormatNamed(format);
        if (!named)
            return failure(QStringLiteral("unknown format %1 (use tsv, csv or json)").arg(format));
        check.format = *named;
    } else if (!check.output.isEmpty()) {
        check.format =
            reportFormatNamed(QFileInfo(check.output).suffix()).value_or(ReportFormat::Tsv);
    }
    return command;
}

int runCommandLine(int argc, char** argv) {
    const QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Vorlan"));
    const CommandLine command = parseCommandLine(QCoreApplication::arguments().mid(1));
    switch (command.action) {
    case CommandLine::Action::Help:
        std::fputs(kUsage, stdout);
        return 0;
    case CommandLine::Action::Version:
        std::puts("Vorlan " VORLAN_VERSION);
        return 0;
    case CommandLine::Action::Error:
        std::fprintf(stderr, "Vorlan: %s\nTry 'Vorlan --help'.\n", qPrintable(command.error));
        return 2;
    case CommandLine::Action::Tidy:
        return runHeadlessTidy(command.check, command.tidy, command.apply);
    case CommandLine::Action::UndoTidy:
        return runHeadlessUndoTidy(command.check);
    case CommandLine::Action::Check:
        break;
    }
    return runHeadlessCheck(command.check);
}

} // namespace vorlan
