#include "qt/widgets/TransparentImage.h"

#include <QPainter>

TransparentImage::TransparentImage(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(false);
    resize(16, 16);
}

void TransparentImage::SetPicture(const QPixmap& picture) {
    picture_ = picture;  // shared, not copied: the image is the same one
    update();
}

void TransparentImage::paintEvent(QPaintEvent*) {
    if (picture_.isNull()) return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture_);
}
