#include "platform/RequestOptions.h"

#include "platform/TrustStore.h"

namespace vorlan {

namespace {

constexpr const char* kUserAgent = "Vorlan/1.0";
constexpr const char* kAccept = "Accept: text/html,application/xhtml+xml,*/*;q=0.8";

} // namespace

curl_slist* setFixedRequestOptions(CURL* easy) {
    curl_slist* const headers = curl_slist_append(nullptr, kAccept);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_2TLS));
    curl_easy_setopt(easy, CURLOPT_USERAGENT, kUserAgent);
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    useSharedTrustStore(easy);
    return headers;
}

} // namespace vorlan
