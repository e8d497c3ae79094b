#include "NavigationTarget.h"

#include "ShortcutReader.h"

#include <QFileInfo>

namespace vorlan {

QString navigationTarget(const QString& item) {
    if (!item.endsWith(QStringLiteral(".url"), Qt::CaseInsensitive) || !QFileInfo(item).isFile())
        return item;
    QString address;
    try {
        OandGurl(item, address);
    } catch (const ReaderError&) {
        return item;
    }
    return address.isEmpty() ? item : address;
}

} // namespace vorlan
