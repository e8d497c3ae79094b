#pragma once

#include <QHash>
#include <QString>
#include <QUrl>
#include <deque>
#include <limits>
#include <optional>
#include <set>
#include <tuple>

namespace vorlan {

// The connection an address goes over: scheme, host and port. At most so many requests
// share one, as the network stack opens no more connections to one host than that.
QString connectionKey(const QUrl& url);

// Decides which waiting request starts next, while the run as a whole has a free slot. The
// host whose waiting requests need the most rounds at its limit goes first, as the run can
// end no sooner than that host's last round; among equals, a host with nothing in flight, as
// it can reuse its idle connection (a new connection costs a lookup and a TLS handshake);
// then the host whose first waiting request is the earliest.
class FetchScheduler {
  public:
    FetchScheduler(int maxInFlight, int maxPerHost);

    // Adds a request. Requests of one host wait in the order of their items, however they
    // were added.
    void enqueue(qsizetype item, const QString& host);
    // The next request to start, counted as in flight; none when all slots are taken. Only a
    // request whose item comes no later than latestItem starts: the next one by the rule
    // above when it does, else the earliest startable one when that does.
    std::optional<qsizetype> takeNext(qsizetype latestItem = std::numeric_limits<qsizetype>::max());
    // A request to this host has ended or was stopped.
    void release(const QString& host);
    // The host asked for fewer requests: from now on it gets one at a time.
    void slowDown(const QString& host);

    int inFlight() const { return inFlight_; }

  private:
    struct Host {
        int inFlight = 0;
        bool slowedDown = false;
        std::deque<qsizetype> waiting;
    };
    // Offers the host's first waiting request when the host has a free slot; withdraws the
    // offer before the host changes.
    void offer(const QString& key, const Host& host);
    void withdraw(const QString& key, const Host& host);
    int limitOf(const Host& host) const { return host.slowedDown ? 1 : maxPerHost_; }
    // Fewer rounds left sort later; then busy hosts; then later first items.
    using Rank = std::tuple<qsizetype, bool, qsizetype, QString>;
    Rank rankOf(const QString& key, const Host& host) const;

    int maxInFlight_;
    int maxPerHost_;
    int inFlight_ = 0;
    // Hosts with requests waiting or in flight, and those slowed down, for the whole run.
    QHash<QString, Host> hosts_;
    // The first waiting request of every host with a free slot, by rank and by item.
    std::set<Rank> startableByRank_;
    std::set<std::pair<qsizetype, QString>> startableByItem_;
};

} // namespace vorlan
