#include "FetchScheduler.h"

#include <algorithm>

namespace vorlan {

QString connectionKey(const QUrl& url) {
    const int defaultPort = url.scheme() == u"https" ? 443 : 80;
    return QStringLiteral("%1://%2:%3").arg(url.scheme(), url.host()).arg(url.port(defaultPort));
}

FetchScheduler::FetchScheduler(int maxInFlight, int maxPerHost)
    : maxInFlight_(maxInFlight), maxPerHost_(maxPerHost) {}

void FetchScheduler::offer(const QString& key, const Host& host) {
    if (!host.waiting.empty() && host.inFlight < limitOf(host))
        startable_.emplace(host.waiting.front(), key);
}

void FetchScheduler::enqueue(qsizetype item, const QString& key) {
    Host& host = hosts_[key];
    if (!host.waiting.empty())
        startable_.erase({host.waiting.front(), key});
    host.waiting.insert(std::upper_bound(host.waiting.begin(), host.waiting.end(), item), item);
    offer(key, host);
}

std::optional<qsizetype> FetchScheduler::takeNext(qsizetype latestItem) {
    if (inFlight_ >= maxInFlight_ || startable_.empty() || startable_.begin()->first > latestItem)
        return std::nullopt;
    const auto [item, key] = *startable_.begin();
    startable_.erase(startable_.begin());
    Host& host = hosts_[key];
    host.waiting.pop_front();
    ++host.inFlight;
    ++inFlight_;
    offer(key, host);
    return item;
}

void FetchScheduler::release(const QString& key) {
    const auto it = hosts_.find(key);
    Host& host = *it;
    --host.inFlight;
    --inFlight_;
    if (host.inFlight == limitOf(host) - 1)
        offer(key, host);
    if (host.inFlight == 0 && host.waiting.empty() && !host.slowedDown)
        hosts_.erase(it);
}

void FetchScheduler::slowDown(const QString& key) {
    Host& host = hosts_[key];
    if (host.slowedDown)
        return;
    host.slowedDown = true;
    // Its first waiting request starts only once the host has nothing in flight.
    if (!host.waiting.empty() && host.inFlight >= 1)
        startable_.erase({host.waiting.front(), key});
}

} // namespace vorlan
