#pragma once

#include <QString>

namespace vorlan {

// The status text of a checked item. A non-empty page is "GOOD" when the final response
// had a 2xx status and "POOR" otherwise; an empty page gives the error number and its word
// (TransferError.h).
QString statusText(bool pageEmpty, int statusCode, int errorNumber);

} // namespace vorlan
