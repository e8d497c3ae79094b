#include "window/DriveChooser.h"

#include <QSignalBlocker>
#include <QStorageInfo>

namespace vorlan {

DriveChooser::DriveChooser(QWidget* parent) : QComboBox(parent) {
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && !roots.contains(volume.rootPath()))
            roots.append(volume.rootPath());
    }
    roots.sort();
    addItems(roots);
    connect(this, &QComboBox::currentIndexChanged, this, [this] { emit driveChanged(); });
}

void DriveChooser::showDrive(const QString& drive) {
    const QSignalBlocker blocker(this);
    int index = findText(drive);
    if (index < 0) {
        addItem(drive);
        index = count() - 1;
    }
    setCurrentIndex(index);
}

QString DriveChooser::driveOf(const QString& path) {
    return QStorageInfo(path).rootPath();
}

} // namespace vorlan
