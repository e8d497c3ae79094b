#pragma once

#include <QString>

namespace vorlan {

// What the desktop is asked to open for a list item. Desktops open a shortcut file (*.url)
// as plain text, so a shortcut gives the address it holds; a shortcut that gives no
// address, and anything else, is opened as it is.
QString navigationTarget(const QString& item);

} // namespace vorlan
