#include "linkcheck/engine/RowHistory.h"

namespace vorlan {

void recordRow(HistoryRecorder& recorder, CheckRow& row) {
    if (row.address.isEmpty())
        return; // a shortcut without an address has no link to follow over time
    CheckedLink link;
    link.shortcutPath = row.shortcutPath;
    link.address = row.address;
    link.status = row.status;
    link.code = row.statusCode;
    link.finalAddress = row.finalAddress;
    for (const RedirectHop& hop : row.hops)
        link.hops += QStringLiteral("%1 %2\n")
                         .arg(hop.statusCode)
                         .arg(hop.location.toString(QUrl::FullyEncoded));
    link.good = row.status == u"GOOD";
    const AddressHistory history = recorder.record(link);
    row.previousStatus = history.previousStatus;
    row.failingSince = history.failingSince;
    row.lastGood = history.lastGood;
}

} // namespace vorlan
