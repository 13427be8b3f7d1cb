#include "controls/ProgressBarModel.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

int Red(Rgb c) { return (c >> 16) & 0xFF; }
int Green(Rgb c) { return (c >> 8) & 0xFF; }
int Blue(Rgb c) { return c & 0xFF; }

// Blends `c` by `amount` (0..1) towards the grey level `target` (0 leaves it, 1 gives the
// target), each channel rounded half up: the mix is never negative, and this is lround's
// result without its call, which is most of a drawing's time.
Rgb Blend(Rgb c, int target, double amount) {
    auto mix = [&](int v) { return static_cast<Rgb>(v + (target - v) * amount + 0.5); };
    return (mix(Red(c)) << 16) | (mix(Green(c)) << 8) | mix(Blue(c));
}

// The tube shading, in two parts: a lighter band along the top rows fading downwards and a
// slight darkening of the bottom row, the same along a row; and darker ends fading in over
// `endWidth` columns, the same down a column.
Rgb RowShade(Rgb base, int y, int height) {
    if (y < ProgressBarModel::kShineRows) {
        const double shine = 0.55 * (1.0 - double(y) / ProgressBarModel::kShineRows) + 0.12;
        return Blend(base, 255, shine);
    }
    if (y == height - 1) return Blend(base, 0, 0.18);
    return base;
}

// How far column x of a part `width` columns wide is darkened towards black (0: not at all).
double EndAmount(int x, int width, double endWidth) {
    if (endWidth <= 0) return 0;
    const double fromEnd = std::min(x, width - 1 - x) + 0.5;
    return fromEnd < endWidth ? 0.35 * (1.0 - fromEnd / endWidth) : 0;
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
    return {width_, height_, filled, filled > 0 ? barColor_ : 0,
            glintShows ? glintLeft_ : kHiddenGlint};
}

ProgressBarModel::Columns ProgressBarModel::ColumnsBetween(const Drawn& before,
                                                           const Drawn& after) const {
    if (before.width != after.width || before.height != after.height || before.color != after.color)
        return AllColumns();
    // In inner-area coordinates first.
    int first = width_;
    int last = 0;
    auto include = [&](int from, int to) {
        first = std::min(first, from);
        last = std::max(last, to);
    };
    if (before.filledWidth != after.filledWidth) {
        const int shorter = std::min(before.filledWidth, after.filledWidth);
        const int longer = std::max(before.filledWidth, after.filledWidth);
        // The filled part's right end and the empty part's left end move with the boundary; a
        // filled part too short for its ends changes its left end as well.
        include(shorter < 2 * kFilledEnd ? 0 : shorter - kFilledEnd, longer + kEmptyEnd);
    }
    for (int glintLeft : {before.glintLeft, after.glintLeft})
        if (before.glintLeft != after.glintLeft && glintLeft != kHiddenGlint)
            include(glintLeft, glintLeft + kGlintWidth);
    // Control coordinates: one column of frame on the left.
    return {std::max(first + 1, 0), std::min(last + 1, width_)};
}

void ProgressBarModel::Render(std::uint32_t* pixels, int stride, Rgb frame, Rgb empty,
                              Columns columns) const {
    const int first = std::max(columns.first, 0);
    const int last = std::min(columns.last, width_);
    if (first >= last || height_ <= 0) return;
    frame = (frame & 0xFFFFFF) | kOpaque;
    for (int y = 0; y < height_; ++y) {
        std::uint32_t* line = pixels + static_cast<std::ptrdiff_t>(y) * stride;
        if (y == 0 || y == height_ - 1) {
            std::fill(line + first, line + last, frame);
        } else {
            if (first == 0) line[0] = frame;
            if (last == width_) line[width_ - 1] = frame;
        }
    }
    const int width = InnerWidth();
    const int height = InnerHeight();
    const int innerFirst = std::max(first - 1, 0);
    const int innerLast = std::min(last - 1, width);
    if (innerFirst >= innerLast || height == 0) return;

    // What each column adds to its row's colour: its part's darker end and the glint. The same
    // on every row, so worked out once.
    const int filled = FilledWidth();
    // A filled part too short for both of its shaded ends gets them in proportion.
    const double filledEnd = std::min<double>(kFilledEnd, filled / 2.0);
    struct ColumnShade {
        bool filled;
        double end;
        double glint;
    };
    std::vector<ColumnShade> shades;
    shades.reserve(static_cast<std::size_t>(innerLast - innerFirst));
    for (int x = innerFirst; x < innerLast; ++x) {
        if (x < filled)
            shades.push_back({true, EndAmount(x, filled, filledEnd), GlintAmount(x - glintLeft_)});
        else
            shades.push_back({false, EndAmount(x - filled, width - filled, kEmptyEnd), 0});
    }
    for (int y = 0; y < height; ++y) {
        std::uint32_t* line = pixels + static_cast<std::ptrdiff_t>(y + 1) * stride + 1;
        const Rgb filledRow = RowShade(barColor_, y, height);
        const Rgb emptyRow = RowShade(empty & 0xFFFFFF, y, height);
        for (int x = innerFirst; x < innerLast; ++x) {
            const ColumnShade& shade = shades[static_cast<std::size_t>(x - innerFirst)];
            Rgb c = shade.filled ? filledRow : emptyRow;
            if (shade.end > 0) c = Blend(c, 0, shade.end);
            if (shade.glint > 0) c = Blend(c, 255, shade.glint);
            line[x] = c | kOpaque;
        }
    }
}
