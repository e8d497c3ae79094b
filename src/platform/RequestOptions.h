#pragma once

#include <curl/curl.h>

namespace vorlan {

// Sets the options every request of this program shares on a new handle: http and https only,
// HTTP/2 over TLS where offered, its user agent and Accept header, every content coding
// libcurl knows, no proxy CONNECT headers in the header text, and the shared trust store.
// Returns the header list the handle sends, to be freed once the handle is cleaned up.
curl_slist* setFixedRequestOptions(CURL* easy);

} // namespace vorlan
