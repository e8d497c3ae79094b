#include "platform/SystemProxy.h"

#include <QNetworkProxyFactory>

namespace vorlan {

namespace {

// A proxy of the system's settings as libcurl names it; empty for a direct connection.
QByteArray curlProxy(const QNetworkProxy& proxy) {
    QByteArray scheme;
    switch (proxy.type()) {
    case QNetworkProxy::HttpProxy:
        scheme = "http";
        break;
    case QNetworkProxy::Socks5Proxy:
        scheme = "socks5h";
        break;
    default:
        return {};
    }
    QUrl url;
    url.setScheme(QString::fromLatin1(scheme));
    url.setHost(proxy.hostName());
    url.setPort(proxy.port());
    url.setUserName(proxy.user());
    url.setPassword(proxy.password());
    return url.toEncoded();
}

} // namespace

QByteArray SystemProxy::proxyFor(const QUrl& url) {
    const QString key = url.scheme() + u' ' + url.host() + u' ' + QString::number(url.port());
    auto it = proxies_.find(key);
    if (it == proxies_.end()) {
        const QList<QNetworkProxy> proxies =
            QNetworkProxyFactory::systemProxyForQuery(QNetworkProxyQuery(url));
        it = proxies_.insert(key, proxies.isEmpty() ? QByteArray() : curlProxy(proxies.first()));
    }
    return *it;
}

} // namespace vorlan
