#include "AnimatedProgressBar.h"

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

// Blends `c` by `amount` towards `target` (0 leaves it, 1 gives the target).
QRgb Blend(QRgb c, int target, double amount) {
    auto mix = [&](int v) { return static_cast<int>(std::lround(v + (target - v) * amount)); };
    return qRgb(mix(qRed(c)), mix(qGreen(c)), mix(qBlue(c)));
}

// The tube shading of one pixel: a lighter band along the top rows fading downwards, a slight
// darkening of the bottom row, and darker ends fading in over `endWidth` columns.
QRgb Shade(QRgb base, int x, int y, int width, int height, double endWidth) {
    QRgb c = base;
    if (y < AnimatedProgressBar::kShineRows) {
        const double shine = 0.55 * (1.0 - double(y) / AnimatedProgressBar::kShineRows) + 0.12;
        c = Blend(c, 255, shine);
    } else if (y == height - 1) {
        c = Blend(c, 0, 0.18);
    }
    if (endWidth > 0) {
        const double fromEnd = std::min(x, width - 1 - x) + 0.5;
        if (fromEnd < endWidth) c = Blend(c, 0, 0.35 * (1.0 - fromEnd / endWidth));
    }
    return c;
}

// The glint's strength at distance `d` from its left edge: kGlintStrength over the middle
// kGlintCore pixels, fading linearly to nothing over the pixels on either side.
double GlintAmount(int d) {
    constexpr int kFade = (AnimatedProgressBar::kGlintWidth - AnimatedProgressBar::kGlintCore) / 2;
    if (d < 0 || d >= AnimatedProgressBar::kGlintWidth) return 0;
    const double center = d + 0.5;
    if (center < kFade) return AnimatedProgressBar::kGlintStrength * center / kFade;
    if (center > kFade + AnimatedProgressBar::kGlintCore)
        return AnimatedProgressBar::kGlintStrength * (AnimatedProgressBar::kGlintWidth - center) /
               kFade;
    return AnimatedProgressBar::kGlintStrength;
}

}  // namespace

AnimatedProgressBar::AnimatedProgressBar(QWidget* parent) : QWidget(parent) {
    resize(sizeHint());
    glintTimer_.setInterval(kTickMs);
    connect(&glintTimer_, &QTimer::timeout, this, &AnimatedProgressBar::AdvanceGlint);
    glintTimer_.start();
}

void AnimatedProgressBar::SetMinimum(double minimum) {
    minimum_ = minimum;
    update();
}

void AnimatedProgressBar::SetMaximum(double maximum) {
    maximum_ = maximum;
    update();
}

void AnimatedProgressBar::SetPosition(double position) {
    if (maximum_ > minimum_) position = std::clamp(position, minimum_, maximum_);
    position_ = position;
    update();
}

void AnimatedProgressBar::SetBarColor(const QColor& color) {
    barColor_ = color;
    update();
}

QColor AnimatedProgressBar::ColorFromBgr(std::uint32_t bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

double AnimatedProgressBar::FilledFraction() const {
    double range = maximum_ - minimum_;
    if (range == 0) range = 1;
    const double fraction = (position_ - minimum_) / range;
    if (std::isnan(fraction)) return 0;
    return std::clamp(fraction, 0.0, 1.0);
}

int AnimatedProgressBar::FilledWidth() const {
    return static_cast<int>(std::lround(FilledFraction() * std::max(0, InnerRect().width())));
}

void AnimatedProgressBar::AdvanceGlint() {
    glintLeft_ += kGlintStep;
    if (glintLeft_ >= FilledWidth()) glintLeft_ = -kGlintWidth;
    if (FilledWidth() > 0) update(InnerRect());
}

void AnimatedProgressBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect inner = InnerRect();
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (inner.isEmpty()) return;

    const int width = inner.width();
    const int height = inner.height();
    const int filled = FilledWidth();
    const QRgb bar = barColor_.rgb();
    const QRgb empty = palette().color(QPalette::Base).rgb();
    // A filled part too short for both of its shaded ends gets them in proportion.
    const double filledEnd = std::min<double>(kFilledEnd, filled / 2.0);

    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < filled; ++x) {
            QRgb c = Shade(bar, x, y, filled, height, filledEnd);
            const double glint = GlintAmount(x - glintLeft_);
            if (glint > 0) c = Blend(c, 255, glint);
            line[x] = c;
        }
        for (int x = filled; x < width; ++x)
            line[x] = Shade(empty, x - filled, y, width - filled, height, kEmptyEnd);
    }
    painter.drawImage(inner.topLeft(), image);
}
