#pragma once

#include <QString>

namespace vorlan {

// One committed row of a check run: a line of the result file and what its check gave.
struct CheckRow {
    qsizetype index = 0; // the line's position, from 0
    QString shortcutPath;
    QString address;      // read from the shortcut; empty when it gives none
    QString status;       // exactly as the results list shows it
    int statusCode = 0;   // of the final response; 0 when none arrived
    QString finalAddress; // where the redirects led; empty when no request was sent
    QString header;       // the final response's header text
};

} // namespace vorlan
