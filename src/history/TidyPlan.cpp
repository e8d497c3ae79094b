#include "history/TidyPlan.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QUrl>

namespace vorlan {

namespace {

struct Hop {
    int code = 0;
    QString location;
};

QList<Hop> hopsOf(const QString& recorded) {
    QList<Hop> hops;
    for (const QString& line : recorded.split(u'\n', Qt::SkipEmptyParts)) {
        const qsizetype space = line.indexOf(u' ');
        hops.append({line.left(space).toInt(), line.mid(space + 1)});
    }
    return hops;
}

TidyProposal proposalFor(TidyReason reason) {
    TidyProposal proposal;
    proposal.reason = reason;
    return proposal;
}

bool permanent(const Hop& hop) {
    return hop.code == 301 || hop.code == 308;
}

bool isSiteRoot(const QUrl& url) {
    return url.path().isEmpty() || url.path() == u"/";
}

// The move a GOOD check's redirects tell of: the last hop of the permanent redirects that
// start at the first hop.
std::optional<TidyProposal> movedProposal(const ShortcutResult& last) {
    const QList<Hop> hops = hopsOf(last.hops);
    if (!last.good || hops.isEmpty() || !permanent(hops.first()))
        return std::nullopt;
    qsizetype lastPermanent = 0;
    while (lastPermanent + 1 < hops.size() && permanent(hops[lastPermanent + 1]))
        ++lastPermanent;
    const Hop& target = hops[lastPermanent];
    TidyProposal proposal = proposalFor(TidyReason::Moved);
    proposal.now = last.address;
    const QUrl from(last.address);
    if (isSiteRoot(QUrl(target.location)) && !isSiteRoot(from)) {
        proposal.why = QStringLiteral("redirects to the site's home page");
        return proposal; // the page is usually gone: reported, not proposed
    }
    proposal.proposed = target.location;
    proposal.why =
        QStringLiteral("moved permanently (%1) to %2").arg(target.code).arg(target.location);
    proposal.selected = true;
    return proposal;
}

std::optional<TidyProposal> brokenProposal(const ShortcutResult& last) {
    if (last.good)
        return std::nullopt;
    const QDateTime since = last.failingSince.value_or(last.checkedAt);
    TidyProposal proposal = proposalFor(TidyReason::Broken);
    proposal.why =
        QStringLiteral("broken in %1 %2 since %3")
            .arg(last.failuresInARow)
            .arg(last.failuresInARow == 1 ? QStringLiteral("check") : QStringLiteral("checks"))
            .arg(since.toUTC().date().toString(Qt::ISODate));
    proposal.selected =
        last.failuresInARow >= kBrokenChecks && since.daysTo(last.checkedAt) >= kBrokenDays;
    return proposal;
}

// The shortcut's place in the set-aside folder, below it as it is below the target.
QString asidePath(const QString& shortcut, const TidyOptions& options) {
    const QString aside = options.asideFolder.isEmpty()
                              ? defaultAsideFolder(options.targetDirectory)
                              : options.asideFolder;
    const QString below = QDir(QFileInfo(options.targetDirectory).absoluteFilePath())
                              .relativeFilePath(QFileInfo(shortcut).absoluteFilePath());
    return QDir::cleanPath(
        aside + u'/' +
        (below.startsWith(QStringLiteral("..")) ? QFileInfo(shortcut).fileName() : below));
}

} // namespace

QString defaultAsideFolder(const QString& targetDirectory) {
    return QDir::cleanPath(targetDirectory) + QStringLiteral(" - set aside");
}

QString normalizedAddress(const QString& address) {
    QUrl url(address);
    if (!url.isValid())
        return address;
    url.setScheme(url.scheme().toLower());
    url.setHost(url.host().toLower());
    if ((url.scheme() == u"http" && url.port() == 80) ||
        (url.scheme() == u"https" && url.port() == 443))
        url.setPort(-1);
    url.setFragment(QString());
    if (url.path().isEmpty())
        url.setPath(QStringLiteral("/"));
    return url.toString(QUrl::FullyEncoded);
}

Result<std::vector<TidyProposal>> planTidy(CheckHistory& history, const QStringList& shortcuts,
                                           const TidyOptions& options) {
    std::vector<TidyProposal> plan;
    QHash<QString, QString> firstWithAddress;
    for (const QString& shortcut : shortcuts) {
        const Result<std::optional<ShortcutResult>> recorded = history.lastResultOf(shortcut);
        if (!recorded.ok())
            return recorded.failure();
        if (!recorded.value())
            continue;
        const ShortcutResult& last = *recorded.value();
        std::optional<TidyProposal> proposal;
        const QString key = normalizedAddress(last.address);
        if (const auto first = firstWithAddress.constFind(key); first != firstWithAddress.cend()) {
            if (options.duplicates) {
                proposal = proposalFor(TidyReason::Duplicate);
                proposal->why = QStringLiteral("same address as %1").arg(*first);
                proposal->selected = true;
            }
        } else {
            firstWithAddress.insert(key, shortcut);
        }
        if (!proposal && options.broken)
            proposal = brokenProposal(last);
        if (!proposal && options.moved)
            proposal = movedProposal(last);
        if (!proposal)
            continue;
        proposal->shortcutPath = shortcut;
        if (proposal->reason != TidyReason::Moved) {
            proposal->now = shortcut;
            proposal->proposed = asidePath(shortcut, options);
        }
        proposal->checkedSize = last.shortcutSize;
        proposal->checkedModified = last.shortcutModified;
        plan.push_back(std::move(*proposal));
    }
    return plan;
}

} // namespace vorlan
