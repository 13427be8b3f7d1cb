#include "qt/widgets/AnimatedProgressBar.h"

#include <QPaintEvent>
#include <QPainter>

AnimatedProgressBar::AnimatedProgressBar(QWidget* parent) : QWidget(parent) {
    resize(sizeHint());
    glintTimer_.setInterval(ProgressBarModel::kTickMs);
    connect(&glintTimer_, &QTimer::timeout, this, &AnimatedProgressBar::AdvanceGlint);
    glintTimer_.start();
}

ProgressBarModel& AnimatedProgressBar::Model() const {
    // A hidden widget gets its resize event only when shown: the size is taken here instead.
    if (model_.Width() != width() || model_.Height() != height()) model_.Resize(width(), height());
    return model_;
}

void AnimatedProgressBar::SetMinimum(double minimum) { Repaint(Model().SetMinimum(minimum)); }

void AnimatedProgressBar::SetMaximum(double maximum) { Repaint(Model().SetMaximum(maximum)); }

void AnimatedProgressBar::SetPosition(double position) { Repaint(Model().SetPosition(position)); }

void AnimatedProgressBar::SetBarColor(const QColor& color) {
    Repaint(Model().SetBarColor(color.rgb()));
}

void AnimatedProgressBar::AdvanceGlint() { Repaint(Model().AdvanceGlint()); }

void AnimatedProgressBar::Repaint(bool changed) {
    if (!changed) return;
    const ProgressBarModel::Columns columns = model_.ChangedColumns();
    update(columns.first, 0, columns.last - columns.first, height());
}

void AnimatedProgressBar::paintEvent(QPaintEvent* event) {
    // The image keeps what earlier paints drew; only the columns to paint are drawn anew.
    const QRect area = event->rect();
    if (image_.size() != size()) image_ = QImage(size(), QImage::Format_RGB32);
    Model().Render(reinterpret_cast<std::uint32_t*>(image_.bits()),
                   static_cast<int>(image_.bytesPerLine() / 4),
                   palette().color(QPalette::Mid).rgb(), palette().color(QPalette::Base).rgb(),
                   {area.left(), area.right() + 1});
    QPainter(this).drawImage(area.topLeft(), image_, area);
}
