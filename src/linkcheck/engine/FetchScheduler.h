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

// Decides which waiting request starts next, while the run as a whole has a free slot. A host
// whose waiting requests need at least as many rounds at its limit as the whole run needs at
// its own goes first, the one needing most, as the run can end no sooner than its last round.
// Otherwise a host whose connection is likely open and idle (a request of it has ended, none is
// in flight) goes first, as a new connection costs a lookup and a TLS handshake; then a host
// not yet connected, then a busy one; among equals the host whose first waiting request is the
// earliest.
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
        // A request of the host has ended: its connection is likely open and idle.
        bool warm = false;
        std::deque<qsizetype> waiting;
    };
    // Offers the host's first waiting request when the host has a free slot; withdraws the
    // offer before the host changes.
    void offer(const QString& key, const Host& host);
    void withdraw(const QString& key, const Host& host);
    int limitOf(const Host& host) const { return host.slowedDown ? 1 : maxPerHost_; }
    // 0 for a host with an idle connection, 1 for one not yet connected, 2 for a busy one.
    static int stateOf(const Host& host) { return host.inFlight > 0 ? 2 : host.warm ? 0 : 1; }
    qsizetype roundsLeftOf(const Host& host) const;
    // Of the startable hosts, the one the rule above picks.
    const QString& bestHost() const;

    int maxInFlight_;
    int maxPerHost_;
    int inFlight_ = 0;
    qsizetype waiting_ = 0;
    // Hosts with requests waiting or in flight, and those slowed down, for the whole run.
    QHash<QString, Host> hosts_;
    // The first waiting request of every host with a free slot: by rounds left (negated), by
    // state, and by item.
    std::set<std::tuple<qsizetype, int, qsizetype, QString>> startableByRounds_;
    std::set<std::tuple<int, qsizetype, QString>> startableByState_;
    std::set<std::pair<qsizetype, QString>> startableByItem_;
};

} // namespace vorlan
