#pragma once

#include <QString>

namespace vorlan {

// The word the status text gives an error number; empty for a number it does not name.
QString statusWord(int errorNumber);

// The status text of a checked item. A non-empty page is "GOOD" when the final response
// had a 2xx status and "POOR" otherwise; an empty page gives the error number and its word.
QString statusText(bool pageEmpty, int statusCode, int errorNumber);

} // namespace vorlan
