#pragma once

#include <QByteArray>
#include <QHash>
#include <QUrl>

namespace vorlan {

// The system's proxy for each address, as libcurl names it. Asking the system costs more than
// a request to a near server, so each host is asked about once until forget().
class SystemProxy {
  public:
    // The proxy for a request to url; empty for a direct connection.
    QByteArray proxyFor(const QUrl& url);
    void forget() { proxies_.clear(); }

  private:
    QHash<QString, QByteArray> proxies_;
};

} // namespace vorlan
