#include "linkcheck/engine/FetchScheduler.h"

#include <algorithm>

namespace vorlan {

QString connectionKey(const QUrl& url) {
    const int defaultPort = url.scheme() == u"https" ? 443 : 80;
    return QStringLiteral("%1://%2:%3").arg(url.scheme(), url.host()).arg(url.port(defaultPort));
}

FetchScheduler::FetchScheduler(int maxInFlight, int maxPerHost)
    : maxInFlight_(maxInFlight), maxPerHost_(maxPerHost) {}

qsizetype FetchScheduler::roundsLeftOf(const Host& host) const {
    const qsizetype limit = limitOf(host);
    return (qsizetype(host.waiting.size()) + limit - 1) / limit;
}

void FetchScheduler::offer(const QString& key, const Host& host) {
    if (host.waiting.empty() || host.inFlight >= limitOf(host))
        return;
    const qsizetype item = host.waiting.front();
    startableByRounds_.emplace(-roundsLeftOf(host), stateOf(host), item, key);
    startableByState_.emplace(stateOf(host), item, key);
    startableByItem_.emplace(item, key);
}

void FetchScheduler::withdraw(const QString& key, const Host& host) {
    if (host.waiting.empty())
        return;
    const qsizetype item = host.waiting.front();
    startableByRounds_.erase({-roundsLeftOf(host), stateOf(host), item, key});
    startableByState_.erase({stateOf(host), item, key});
    startableByItem_.erase({item, key});
}

const QString& FetchScheduler::bestHost() const {
    const qsizetype runRoundsLeft = (waiting_ + maxInFlight_ - 1) / maxInFlight_;
    const auto& busiest = *startableByRounds_.begin();
    return -std::get<0>(busiest) >= runRoundsLeft ? std::get<3>(busiest)
                                                  : std::get<2>(*startableByState_.begin());
}

void FetchScheduler::enqueue(qsizetype item, const QString& key) {
    Host& host = hosts_[key];
    withdraw(key, host);
    host.waiting.insert(std::upper_bound(host.waiting.begin(), host.waiting.end(), item), item);
    ++waiting_;
    offer(key, host);
}

std::optional<qsizetype> FetchScheduler::takeNext(qsizetype latestItem) {
    if (inFlight_ >= maxInFlight_ || startableByItem_.empty())
        return std::nullopt;
    const auto& [earliestItem, earliestHost] = *startableByItem_.begin();
    if (earliestItem > latestItem)
        return std::nullopt;
    QString key = bestHost();
    if (hosts_[key].waiting.front() > latestItem)
        key = earliestHost;
    Host& host = hosts_[key];
    withdraw(key, host);
    const qsizetype item = host.waiting.front();
    host.waiting.pop_front();
    --waiting_;
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
    host.warm = true;
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
