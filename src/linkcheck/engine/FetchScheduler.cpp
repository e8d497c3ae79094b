#include "linkcheck/engine/FetchScheduler.h"

#include <algorithm>

namespace vorlan {

QString connectionKey(const QUrl& url) {
    const int defaultPort = url.scheme() == u"https" ? 443 : 80;
    return QStringLiteral("%1://%2:%3").arg(url.scheme(), url.host()).arg(url.port(defaultPort));
}

FetchScheduler::FetchScheduler(int maxInFlight, int maxPerHost)
    : maxInFlight_(maxInFlight), maxPerHost_(maxPerHost) {}

FetchScheduler::Rank FetchScheduler::rankOf(const QString& key, const Host& host) const {
    const qsizetype limit = limitOf(host);
    const qsizetype roundsLeft = (qsizetype(host.waiting.size()) + limit - 1) / limit;
    return {-roundsLeft, host.inFlight > 0, host.waiting.front(), key};
}

void FetchScheduler::offer(const QString& key, const Host& host) {
    if (host.waiting.empty() || host.inFlight >= limitOf(host))
        return;
    startableByRank_.insert(rankOf(key, host));
    startableByItem_.emplace(host.waiting.front(), key);
}

void FetchScheduler::withdraw(const QString& key, const Host& host) {
    if (host.waiting.empty())
        return;
    startableByRank_.erase(rankOf(key, host));
    startableByItem_.erase({host.waiting.front(), key});
}

void FetchScheduler::enqueue(qsizetype item, const QString& key) {
    Host& host = hosts_[key];
    withdraw(key, host);
    host.waiting.insert(std::upper_bound(host.waiting.begin(), host.waiting.end(), item), item);
    offer(key, host);
}

std::optional<qsizetype> FetchScheduler::takeNext(qsizetype latestItem) {
    if (inFlight_ >= maxInFlight_ || startableByItem_.empty())
        return std::nullopt;
    QString key;
    if (const Rank& best = *startableByRank_.begin(); std::get<2>(best) <= latestItem)
        key = std::get<3>(best);
    else if (startableByItem_.begin()->first <= latestItem)
        key = startableByItem_.begin()->second;
    else
        return std::nullopt;
    Host& host = hosts_[key];
    withdraw(key, host);
    const qsizetype item = host.waiting.front();
    host.waiting.pop_front();
    ++host.inFlight;
    ++inFlight_;
    offer(key, host);
    return item;
}

void FetchScheduler::release(const QString& key) {
    const auto it = hosts_.find(key);
    Host& host = *it;
    withdraw(key, host);
    --host.inFlight;
    --inFlight_;
    offer(key, host);
    if (host.inFlight == 0 && host.waiting.empty() && !host.slowedDown)
        hosts_.erase(it);
}

void FetchScheduler::slowDown(const QString& key) {
    Host& host = hosts_[key];
    withdraw(key, host);
    host.slowedDown = true;
    // Its first waiting request starts only once the host has nothing in flight.
    offer(key, host);
}

} // namespace vorlan
