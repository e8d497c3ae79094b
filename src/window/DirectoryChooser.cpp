#include "window/DirectoryChooser.h"

#include <QDir>
#include <QFileInfo>

namespace vorlan {

namespace {
constexpr int kIndentPerLevel = 2;
} // namespace

DirectoryChooser::DirectoryChooser(QWidget* parent) : QListWidget(parent) {
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { setPath(item->data(Qt::UserRole).toString()); });
}

bool DirectoryChooser::setPath(const QString& path) {
    const QFileInfo info(path);
    if (!info.isDir() || !info.isExecutable() || !info.isReadable())
        return false;
    const QString canonical = QDir::cleanPath(info.absoluteFilePath());
    if (canonical == path_)
        return true;
    path_ = canonical;
    refill();
    emit pathChanged();
    return true;
}

void DirectoryChooser::refill() {
    clear();
    QStringList chain;
    for (QDir dir(path_);;) {
        chain.prepend(dir.absolutePath());
        if (!dir.cdUp())
            break;
    }
    int level = 0;
    for (const QString& ancestor : chain) {
        const QString name = ancestor == u"/" ? ancestor : QFileInfo(ancestor).fileName();
        auto* item = new QListWidgetItem(QString(level * kIndentPerLevel, u' ') + name, this);
        item->setData(Qt::UserRole, ancestor);
        ++level;
    }
    setCurrentRow(count() - 1);
    const QStringList children =
        QDir(path_).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& child : children) {
        auto* item = new QListWidgetItem(QString(level * kIndentPerLevel, u' ') + child, this);
        item->setData(Qt::UserRole, QDir(path_).filePath(child));
    }
}

} // namespace vorlan
