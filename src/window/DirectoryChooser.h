#pragma once

#include <QListWidget>

namespace vorlan {

// A directory chooser: the open directory's ancestors from the root down, then its
// sub-directories. Opening an entry (double click or Enter) makes it the path.
class DirectoryChooser : public QListWidget {
    Q_OBJECT
  public:
    explicit DirectoryChooser(QWidget* parent = nullptr);

    QString path() const { return path_; }
    // Opens a directory; false, with nothing changed, when it cannot be entered.
    // Raises pathChanged() when the path changes.
    bool setPath(const QString& path);

  signals:
    void pathChanged();

  private:
    void refill();

    QString path_;
};

} // namespace vorlan
