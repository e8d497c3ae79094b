#pragma once

#include "platform/HttpClient.h"

#include <optional>

namespace vorlan {

// Follows redirects as a browser does: a 301, 302, 303, 307 or 308 that names a Location
// sends the request on to that address, resolved against the one that answered, at most
// kMaxRedirects times and to http and https only. It keeps the hops it followed.
class RedirectFollower {
  public:
    // At the end of a response's header: whether it sends the request on. Its body is then
    // not waited for, however long.
    bool sendsOn(long statusCode, QByteArrayView location, const QUrl& from);
    // Once the response that sends on has ended: where the request goes next, or nothing
    // when it may not go on (one hop too many, another scheme).
    std::optional<QUrl> follow();
    bool pending() const { return pending_.has_value(); }
    const QList<RedirectHop>& hops() const { return hops_; }

  private:
    static constexpr int kMaxRedirects = 20;

    std::optional<RedirectHop> pending_;
    QList<RedirectHop> hops_;
};

} // namespace vorlan
