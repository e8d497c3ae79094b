#include "platform/WebAddress.h"

#include "platform/TransferError.h"

#include <QRegularExpression>
#include <algorithm>

namespace vorlan {

namespace {

// The scheme an address names; empty when it names none. "host:8080/path" names a port.
QString schemeOf(const QString& address) {
    static const QRegularExpression schemePrefix(
        QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*):([^/?#]*)"));
    const QRegularExpressionMatch match = schemePrefix.match(address);
    if (!match.hasMatch())
        return {};
    const QStringView afterColon = match.capturedView(2);
    const bool namesPort =
        !address.mid(match.capturedEnd(1)).startsWith(u"://") &&
        std::all_of(afterColon.begin(), afterColon.end(), [](QChar c) { return c.isDigit(); });
    return namesPort ? QString() : match.captured(1).toLower();
}

} // namespace

bool isWebScheme(const QString& scheme) {
    return scheme == u"http" || scheme == u"https";
}

TransferTarget webTarget(const QString& address, const QString& schemeWhenMissing) {
    using namespace transfer_error;
    if (address.isEmpty())
        return {{}, kBadUrl.number};
    const QString scheme = schemeOf(address);
    if (!scheme.isEmpty() && !isWebScheme(scheme))
        return {{}, kInvalidUrl.number};
    const QUrl url(scheme.isEmpty() ? schemeWhenMissing + QStringLiteral("://") + address
                                    : address);
    if (!url.isValid() || url.host().isEmpty())
        return {{}, kBadUrl.number};
    return {url, 0};
}

} // namespace vorlan
