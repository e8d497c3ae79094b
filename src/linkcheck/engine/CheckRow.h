#pragma once

#include "platform/HttpClient.h"

#include <QDateTime>
#include <QString>
#include <optional>

namespace vorlan {

// One committed row of a check run: a line of the result file and what its check gave.
struct CheckRow {
    qsizetype index = 0; // the line's position, from 0
    QString shortcutPath;
    QString address;         // read from the shortcut; empty when it gives none
    QString status;          // exactly as the results list shows it
    int statusCode = 0;      // of the final response; 0 when none arrived
    QString finalAddress;    // where the redirects led; empty when no request was sent
    QString header;          // the final response's header text
    QList<RedirectHop> hops; // the redirects followed on the way to the final address
    // What the check history tells of the address, this check counted; empty when unknown.
    QString previousStatus;                // at the check before
    std::optional<QDateTime> failingSince; // failed since then, without a GOOD between
    std::optional<QDateTime> lastGood;
};

} // namespace vorlan
