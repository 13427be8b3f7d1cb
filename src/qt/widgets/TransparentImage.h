#pragma once
// A 16 x 16 picture control without a background of its own: what lies beneath shows through
// the picture's transparent pixels. Empty until a picture is assigned.

#include <QPixmap>
#include <QWidget>

class TransparentImage : public QWidget {
    Q_OBJECT

public:
    explicit TransparentImage(QWidget* parent = nullptr);

    void SetPicture(const QPixmap& picture);
    // Takes over the template's picture: both then hold the same image, the template unchanged.
    void AssignPicture(const TransparentImage& source) { SetPicture(source.picture_); }
    const QPixmap& Picture() const { return picture_; }
    bool IsEmpty() const { return picture_.isNull(); }

    QSize sizeHint() const override { return {16, 16}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
};
