#pragma once

#include <QHash>
#include <QString>
#include <QUrl>
#include <deque>
#include <limits>
#include <optional>
#include <set>

namespace vorlan {

// The connection an address goes over: scheme, host and port. At most so many requests
// share one, as the network stack opens no more connections to one host than that.
QString connectionKey(const QUrl& url);

// Decides which waiting request starts next, while the run as a whole has a free slot: the
// earliest one whose host has nothing in flight, as it can reuse that host's idle connection
// (a new connection costs a lookup and a TLS handshake); else the earliest one whose host has
// a free slot.
class FetchScheduler {
  public:
    FetchScheduler(int maxInFlight, int maxPerHost);

    // Adds a request. Requests of one host wait in the order of their items, however they
    // were added.
    void enqueue(qsizetype item, const QString& host);
    // The next request to start, counted as in flight; none when all slots are taken or
    // the next one's item comes after latestItem.
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
    using Startable = std::set<std::pair<qsizetype, QString>>;
    Startable& startableOf(const Host& host) {
        return host.inFlight == 0 ? startableOfIdleHosts_ : startableOfBusyHosts_;
    }
    int limitOf(const Host& host) const { return host.slowedDown ? 1 : maxPerHost_; }

    int maxInFlight_;
    int maxPerHost_;
    int inFlight_ = 0;
    // Hosts with requests waiting or in flight, and those slowed down, for the whole run.
    QHash<QString, Host> hosts_;
    // The first waiting request of every host with a free slot, earliest first, apart for
    // hosts with nothing in flight.
    Startable startableOfIdleHosts_;
    Startable startableOfBusyHosts_;
};

} // namespace vorlan
