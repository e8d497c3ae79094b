#pragma once

#include <curl/curl.h>
#include <memory>

namespace vorlan {

// The host name lookups of a check run, kept for the whole run and forgotten when the next
// one starts. libcurl would otherwise expire them by walking its whole cache on every new
// connection, which grows with the hosts of a run: with 10,000 names that walk cost more than
// the run's TLS handshakes.
class LookupCache {
  public:
    LookupCache();

    // Has the transfer look names up through the present cache; the cache lives at least as
    // long as the returned handle, which the transfer keeps past its libcurl handle.
    std::shared_ptr<void> attach(CURL* easy) const;
    // Later transfers start with an empty cache.
    void forget();

  private:
    std::shared_ptr<CURLSH> share_;
};

} // namespace vorlan
