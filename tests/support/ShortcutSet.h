#pragma once

#include <QList>
#include <QStringList>
#include <ostream>

// Readable failure messages for texts, cut short for texts of a megabyte.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.left(2000).toStdString() << '"';
}

namespace vorlan::test {

// A result file line and the row a check gives it, "address | status".
struct CheckItem {
    QString path;
    QString row;
};

// Shortcut files written below one folder's "web".
class ShortcutSet {
  public:
    explicit ShortcutSet(QString folder) : folder_(std::move(folder)) {}

    // Writes a file below the folder, creating folders; its path.
    QString file(const QString& relativePath, const QByteArray& bytes) const;
    // Writes web/<name> holding the address and returns its path.
    QString shortcut(const QString& name, const QString& address) const;
    // The shortcut web/<name>, expected to be checked with the status.
    CheckItem item(const QString& name, const QString& address, const QString& status) const;
    // Items 0 to count - 1, their number in place of %1 in the name and the address.
    QList<CheckItem> numberedItems(int count, const QString& name, const QString& address,
                                   const QString& status) const;

  private:
    QString folder_;
};

// The bytes of a file, or "(missing)" when it cannot be read.
QByteArray fileBytes(const QString& path);

// The items' paths, and their expected rows into `rows`.
QStringList pathsOf(const QList<CheckItem>& items, QStringList& rows);

} // namespace vorlan::test
