#include "about/AboutPicture.h"

#include <QPainter>

namespace vorlan {

AboutPicture::AboutPicture(QWidget* parent) : ClickLabel(QString(), parent) {}

void AboutPicture::paintPicture(const QPixmap& picture, const QRect& target) {
    painting_ = picture;
    target_ = target;
    update();
}

void AboutPicture::clearPainting() {
    painting_ = QPixmap();
    target_ = QRect();
    update();
}

void AboutPicture::paintEvent(QPaintEvent* event) {
    ClickLabel::paintEvent(event);
    if (painting_.isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(target_, painting_);
}

} // namespace vorlan
