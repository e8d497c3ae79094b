#pragma once

#include "history/CheckHistory.h"
#include "history/Tidy.h"

#include <QStringList>
#include <vector>

namespace vorlan {

// What a tidy plans, and where set-aside shortcuts go.
struct TidyOptions {
    bool moved = true;
    bool duplicates = true;
    bool broken = true;
    QString targetDirectory{}; // the folder the shortcuts lie below
    QString asideFolder{};     // empty: the default beside the target directory
};

// A broken shortcut is selected only after this many failed checks in a row, over at least
// kBrokenDays days: a link broken once is listed, not selected.
inline constexpr int kBrokenChecks = 3;
inline constexpr int kBrokenDays = 7;

// "~/Links" gives "~/Links - set aside": beside it, so that a later search of the target
// directory does not find what was set aside.
QString defaultAsideFolder(const QString& targetDirectory);

// An address as duplicates compare it: scheme and host lower-cased, a default port and the
// fragment dropped, an empty path made "/".
QString normalizedAddress(const QString& address);

// The proposals for the shortcuts, given in search order, from the last recorded check of
// each and its history: the later of two shortcuts with the same address is set aside, a
// broken one is set aside, one whose address answered with permanent redirects from the
// first hop on and ended GOOD gets the address they led to. At most one proposal a shortcut;
// shortcuts never checked get none.
Result<std::vector<TidyProposal>> planTidy(CheckHistory& history, const QStringList& shortcuts,
                                           const TidyOptions& options);

} // namespace vorlan
