#include "AnimatedProgressBar.h"

#include <QImage>
#include <QPainter>

AnimatedProgressBar::AnimatedProgressBar(QWidget* parent) : QWidget(parent) {
    resize(sizeHint());
    glintTimer_.setInterval(ProgressBarModel::kTickMs);
    connect(&glintTimer_, &QTimer::timeout, this, &AnimatedProgressBar::AdvanceGlint);
    glintTimer_.start();
}

ProgressBarModel& AnimatedProgressBar::Model() const {
    model_.Resize(width(), height());
    return model_;
}

void AnimatedProgressBar::SetMinimum(double minimum) {
    if (Model().SetMinimum(minimum)) update();
}

void AnimatedProgressBar::SetMaximum(double maximum) {
    if (Model().SetMaximum(maximum)) update();
}

void AnimatedProgressBar::SetPosition(double position) {
    if (Model().SetPosition(position)) update();
}

void AnimatedProgressBar::SetBarColor(const QColor& color) {
    if (Model().SetBarColor(color.rgb())) update();
}

void AnimatedProgressBar::AdvanceGlint() {
    if (Model().AdvanceGlint()) update(InnerRect());
}

void AnimatedProgressBar::paintEvent(QPaintEvent*) {
    QImage image(size(), QImage::Format_RGB32);
    Model().Render(reinterpret_cast<std::uint32_t*>(image.bits()),
                   static_cast<int>(image.bytesPerLine() / 4), palette().color(QPalette::Mid).rgb(),
                   palette().color(QPalette::Base).rgb());
    QPainter(this).drawImage(0, 0, image);
}
