#pragma once

#include <QLabel>

namespace vorlan {

// A label that reports clicks and pointer movement. A disabled label receives neither.
class ClickLabel : public QLabel {
    Q_OBJECT
  public:
    explicit ClickLabel(const QString& text, QWidget* parent = nullptr);

  signals:
    void clicked();
    void mouseMoved();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
};

} // namespace vorlan
