#pragma once

#include <QComboBox>

namespace vorlan {

// A drive chooser: the mount points of the mounted file systems.
class DriveChooser : public QComboBox {
    Q_OBJECT
  public:
    explicit DriveChooser(QWidget* parent = nullptr);

    QString drive() const { return currentText(); }
    // Shows the drive without raising driveChanged().
    void showDrive(const QString& drive);
    // The mount point of the file system that holds path.
    static QString driveOf(const QString& path);

  signals:
    void driveChanged();
};

} // namespace vorlan
