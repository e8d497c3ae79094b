#include "lists/NavigationTarget.h"

#include "shortcuts/ShortcutReader.h"

#include <QFileInfo>

namespace vorlan {

QString navigationTarget(const QString& item) {
    if (!item.endsWith(QStringLiteral(".url"), Qt::CaseInsensitive) || !QFileInfo(item).isFile())
        return item;
    const QString address = readShortcutAddress(item);
    return address.isEmpty() ? item : address;
}

} // namespace vorlan
