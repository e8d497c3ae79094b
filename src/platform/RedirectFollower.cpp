#include "platform/RedirectFollower.h"

#include "platform/WebAddress.h"

namespace vorlan {

bool RedirectFollower::sendsOn(long statusCode, QByteArrayView location, const QUrl& from) {
    const bool redirect = statusCode == 301 || statusCode == 302 || statusCode == 303 ||
                          statusCode == 307 || statusCode == 308;
    if (!redirect || location.isEmpty())
        return false;
    pending_ = RedirectHop{int(statusCode),
                           from.resolved(QUrl::fromEncoded(location.trimmed().toByteArray()))};
    return true;
}

std::optional<QUrl> RedirectFollower::follow() {
    const RedirectHop hop = *std::exchange(pending_, std::nullopt);
    if (hops_.size() == kMaxRedirects || !isWebScheme(hop.location.scheme()))
        return std::nullopt;
    hops_.append(hop);
    return hop.location;
}

} // namespace vorlan
