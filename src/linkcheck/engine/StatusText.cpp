#include "linkcheck/engine/StatusText.h"

#include "platform/TransferError.h"

namespace vorlan {

QString statusText(bool pageEmpty, int statusCode, int errorNumber) {
    if (!pageEmpty)
        return statusCode >= 200 && statusCode <= 299 ? QStringLiteral("GOOD")
                                                      : QStringLiteral("POOR");
    return QString::number(errorNumber) + u' ' + transferErrorWord(errorNumber);
}

} // namespace vorlan
