#include "ProgressBarModel.h"

#include <algorithm>
#include <cmath>

namespace {

int Red(Rgb c) { return (c >> 16) & 0xFF; }
int Green(Rgb c) { return (c >> 8) & 0xFF; }
int Blue(Rgb c) { return c & 0xFF; }

// Blends `c` by `amount` towards the grey level `target` (0 leaves it, 1 gives the target).
Rgb Blend(Rgb c, int target, double amount) {
    auto mix = [&](int v) { return static_cast<Rgb>(std::lround(v + (target - v) * amount)); };
    return (mix(Red(c)) << 16) | (mix(Green(c)) << 8) | mix(Blue(c));
}

// The tube shading of one pixel: a lighter band along the top rows fading downwards, a slight
// darkening of the bottom row, and darker ends fading in over `endWidth` columns.
Rgb Shade(Rgb base, int x, int y, int width, int height, double endWidth) {
    Rgb c = base;
    if (y < ProgressBarModel::kShineRows) {
        const double shine = 0.55 * (1.0 - double(y) / ProgressBarModel::kShineRows) + 0.12;
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
    constexpr int kWidth = ProgressBarModel::kGlintWidth;
    constexpr int kFade = (kWidth - ProgressBarModel::kGlintCore) / 2;
    if (d < 0 || d >= kWidth) return 0;
    const double center = d + 0.5;
    if (center < kFade) return ProgressBarModel::kGlintStrength * center / kFade;
    if (center > kFade + ProgressBarModel::kGlintCore)
        return ProgressBarModel::kGlintStrength * (kWidth - center) / kFade;
    return ProgressBarModel::kGlintStrength;
}

constexpr std::uint32_t kOpaque = 0xFF000000;

}  // namespace

ProgressBarModel::ProgressBarModel(int width, int height) : width_(width), height_(height) {}

bool ProgressBarModel::Resize(int width, int height) {
    return Redraws([&] {
        width_ = width;
        height_ = height;
    });
}

bool ProgressBarModel::SetMinimum(double minimum) {
    return Redraws([&] { minimum_ = minimum; });
}

bool ProgressBarModel::SetMaximum(double maximum) {
    return Redraws([&] { maximum_ = maximum; });
}

bool ProgressBarModel::SetPosition(double position) {
    return Redraws([&] {
        if (maximum_ > minimum_) position = std::clamp(position, minimum_, maximum_);
        position_ = position;
    });
}

bool ProgressBarModel::SetBarColor(Rgb color) {
    return Redraws([&] { barColor_ = color & 0xFFFFFF; });
}

bool ProgressBarModel::AdvanceGlint() {
    return Redraws([&] {
        glintLeft_ += kGlintStep;
        if (glintLeft_ >= FilledWidth()) glintLeft_ = -kGlintWidth;
    });
}

double ProgressBarModel::FilledFraction() const {
    double range = maximum_ - minimum_;
    if (range == 0) range = 1;
    const double fraction = (position_ - minimum_) / range;
    if (std::isnan(fraction)) return 0;
    return std::clamp(fraction, 0.0, 1.0);
}

int ProgressBarModel::FilledWidth() const {
    return static_cast<int>(std::lround(FilledFraction() * InnerWidth()));
}

ProgressBarModel::Drawn ProgressBarModel::WhatIsDrawn() const {
    const int filled = FilledWidth();
    const bool glintShows = filled > 0 && glintLeft_ < filled && glintLeft_ + kGlintWidth > 0;
    return {filled, filled > 0 ? barColor_ : 0, glintShows ? glintLeft_ : kHiddenGlint};
}

void ProgressBarModel::Render(std::uint32_t* pixels, int stride, Rgb frame, Rgb empty) const {
    if (width_ <= 0 || height_ <= 0) return;
    frame = (frame & 0xFFFFFF) | kOpaque;
    for (int y = 0; y < height_; ++y) {
        std::uint32_t* line = pixels + static_cast<std::ptrdiff_t>(y) * stride;
        if (y == 0 || y == height_ - 1) {
            std::fill(line, line + width_, frame);
        } else {
            line[0] = frame;
            line[width_ - 1] = frame;
        }
    }
    const int width = InnerWidth();
    const int height = InnerHeight();
    if (width == 0 || height == 0) return;

    const int filled = FilledWidth();
    // A filled part too short for both of its shaded ends gets them in proportion.
    const double filledEnd = std::min<double>(kFilledEnd, filled / 2.0);
    for (int y = 0; y < height; ++y) {
        std::uint32_t* line = pixels + static_cast<std::ptrdiff_t>(y + 1) * stride + 1;
        for (int x = 0; x < filled; ++x) {
            Rgb c = Shade(barColor_, x, y, filled, height, filledEnd);
            const double glint = GlintAmount(x - glintLeft_);
            if (glint > 0) c = Blend(c, 255, glint);
            line[x] = c | kOpaque;
        }
        for (int x = filled; x < width; ++x)
            line[x] =
                Shade(empty & 0xFFFFFF, x - filled, y, width - filled, height, kEmptyEnd) | kOpaque;
    }
}
