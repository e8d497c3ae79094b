#include "platform/LookupCache.h"

namespace vorlan {

namespace {

std::shared_ptr<CURLSH> newShare() {
    CURLSH* share = curl_share_init();
    curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    return {share, &curl_share_cleanup};
}

} // namespace

LookupCache::LookupCache() : share_(newShare()) {}

std::shared_ptr<void> LookupCache::attach(CURL* easy) const {
    curl_easy_setopt(easy, CURLOPT_SHARE, share_.get());
    curl_easy_setopt(easy, CURLOPT_DNS_CACHE_TIMEOUT, -1L);
    return share_;
}

void LookupCache::forget() {
    share_ = newShare();
}

} // namespace vorlan
