#pragma once

#include "platform/HttpClient.h"

namespace vorlan {

// Whether the client speaks a scheme: http and https only.
bool isWebScheme(const QString& scheme);

// The address as a request target, schemeWhenMissing added where it names no scheme. An empty
// or unparsable address gives kBadUrl, any scheme but http and https kInvalidUrl.
TransferTarget webTarget(const QString& address, const QString& schemeWhenMissing);

} // namespace vorlan
