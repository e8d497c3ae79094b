#include "platform/TrustStore.h"

#include <QByteArray>
#include <curl/curl.h>
#include <map>
#include <memory>
#include <openssl/ssl.h>
#include <openssl/x509.h>

namespace vorlan {

namespace {

X509_STORE* loadStore(QByteArray file, const QByteArray& folder, CURL* easy) {
    X509_STORE* store = X509_STORE_new();
    if (file.isEmpty()) {
        char* curlDefault = nullptr;
        curl_easy_getinfo(easy, CURLINFO_CAINFO, &curlDefault);
        file = curlDefault;
    }
    if (!file.isEmpty())
        X509_STORE_load_file(store, file.constData());
    if (!folder.isEmpty())
        X509_STORE_load_path(store, folder.constData());
    return store;
}

CURLcode useStore(CURL*, void* context, void* store) {
    SSL_CTX_set1_cert_store(static_cast<SSL_CTX*>(context), static_cast<X509_STORE*>(store));
    // A connection waiting in libcurl's cache for its host's next request holds no buffers.
    SSL_CTX_set_mode(static_cast<SSL_CTX*>(context), SSL_MODE_RELEASE_BUFFERS);
    return CURLE_OK;
}

} // namespace

void useSharedTrustStore(CURL* easy) {
    // One store per bundle and folder, kept for the whole process; each connection holds a
    // reference of its own.
    using Store = std::unique_ptr<X509_STORE, decltype(&X509_STORE_free)>;
    static std::map<std::pair<QByteArray, QByteArray>, Store> stores;
    const std::pair<QByteArray, QByteArray> names{qgetenv("SSL_CERT_FILE"),
                                                  qgetenv("SSL_CERT_DIR")};
    auto found = stores.find(names);
    if (found == stores.end())
        found =
            stores
                .emplace(names, Store(loadStore(names.first, names.second, easy), &X509_STORE_free))
                .first;
    X509_STORE* store = found->second.get();
    curl_easy_setopt(easy, CURLOPT_CAINFO, nullptr);
    curl_easy_setopt(easy, CURLOPT_CAPATH, nullptr);
    curl_easy_setopt(easy, CURLOPT_SSL_CTX_FUNCTION, &useStore);
    curl_easy_setopt(easy, CURLOPT_SSL_CTX_DATA, store);
}

} // namespace vorlan
