#pragma once
// A push button that shows a picture left of its caption, the two centred together, and a
// second picture while it is disabled, and a hand cursor.

#include <QPixmap>
#include <QPushButton>

class PictureButton : public QPushButton {
    Q_OBJECT

public:
    explicit PictureButton(const QString& caption, QWidget* parent = nullptr);

    // The picture shown while enabled; its size is the size drawn.
    void SetPicture(const QPixmap& picture);
    // The picture shown while disabled. Without one, the style greys the enabled picture.
    void SetDisabledPicture(const QPixmap& picture);

    const QPixmap& Picture() const { return picture_; }
    const QPixmap& DisabledPicture() const { return disabledPicture_; }
    // The picture the button shows in its present state (the disabled one only when given).
    QPixmap ShownPicture() const;

private:
    void UpdateIcon();

    QPixmap picture_;
    QPixmap disabledPicture_;
};
