#include "ShortcutSet.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace vorlan::test {

QString ShortcutSet::file(const QString& relativePath, const QByteArray& bytes) const {
    const QString path = folder_ + u'/' + relativePath;
    QDir().mkpath(path.left(path.lastIndexOf(u'/')));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
    return path;
}

QString ShortcutSet::shortcut(const QString& name, const QString& address) const {
    return file(QStringLiteral("web/") + name,
                "[InternetShortcut]\r\nURL=" + address.toUtf8() + "\r\n");
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

CheckItem ShortcutSet::item(const QString& name, const QString& address,
                            const QString& status) const {
    return {shortcut(name, address), address + " | " + status};
}

QList<CheckItem> ShortcutSet::numberedItems(int count, const QString& name, const QString& address,
                                            const QString& status) const {
    QList<CheckItem> items;
    for (int i = 0; i < count; ++i)
        items.append(item(name.arg(i), address.arg(i), status));
    return items;
}

QStringList pathsOf(const QList<CheckItem>& items, QStringList& rows) {
    QStringList paths;
    rows.clear();
    for (const CheckItem& item : items) {
        paths.append(item.path);
        rows.append(item.row);
    }
    return paths;
}

} // namespace vorlan::test
