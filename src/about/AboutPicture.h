#pragma once

#include "window/ClickLabel.h"

#include <QPixmap>

namespace vorlan {

// The About window's picture area: a clickable surface that holds the animated shapes and
// keeps a bitmap painted into it until the painting is cleared.
class AboutPicture : public ClickLabel {
    Q_OBJECT
  public:
    explicit AboutPicture(QWidget* parent);

    // Paints the picture stretched over target, in the area's own pixels; it may reach
    // beyond the area, which clips it.
    void paintPicture(const QPixmap& picture, const QRect& target);
    void clearPainting();
    bool isPainted() const { return !painting_.isNull(); }
    QRect paintedTarget() const { return target_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QPixmap painting_;
    QRect target_;
};

} // namespace vorlan
