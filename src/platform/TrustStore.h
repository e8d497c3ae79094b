#pragma once

typedef void CURL;

namespace vorlan {

// Makes every TLS connection of the transfer verify its peer against one certificate store,
// loaded once per process: the bundle SSL_CERT_FILE names, else libcurl's own, and the
// folder SSL_CERT_DIR names. libcurl would otherwise parse the whole bundle again for every
// handshake (tens of milliseconds of CPU each).
void useSharedTrustStore(CURL* easy);

} // namespace vorlan
