#include "qt/widgets/PictureButton.h"

#include <QIcon>

PictureButton::PictureButton(const QString& caption, QWidget* parent)
    : QPushButton(caption, parent) {
    setCursor(Qt::PointingHandCursor);
    QPalette pal = palette();
    pal.setColor(QPalette::Active, QPalette::ButtonText, Qt::black);
    pal.setColor(QPalette::Inactive, QPalette::ButtonText, Qt::black);
    setPalette(pal);
}

void PictureButton::SetPicture(const QPixmap& picture) {
    picture_ = picture;
    UpdateIcon();
}

void PictureButton::SetDisabledPicture(const QPixmap& picture) {
    disabledPicture_ = picture;
    UpdateIcon();
}

QPixmap PictureButton::ShownPicture() const {
    if (!isEnabled() && !disabledPicture_.isNull()) return disabledPicture_;
    if (isEnabled()) return picture_;
    return icon().pixmap(iconSize(), QIcon::Disabled);
}

void PictureButton::UpdateIcon() {
    QIcon pictures;
    if (!picture_.isNull()) pictures.addPixmap(picture_, QIcon::Normal);
    if (!disabledPicture_.isNull()) pictures.addPixmap(disabledPicture_, QIcon::Disabled);
    setIcon(pictures);
    if (!picture_.isNull()) setIconSize(picture_.size());
}
