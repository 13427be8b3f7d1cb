#pragma once
// cxProgressBar1 without its toolkit: range, position, bar colour and the glint, and the whole
// drawing of the control into a 32-bit pixel buffer. Both windows' bar controls are thin
// shells around it: they forward the setters, repaint only when a setter says that what is
// drawn has changed, and copy Render()'s pixels to the screen.
//
// The drawing: a 1-pixel flat frame; inside it the filled part over FilledWidth() pixels and
// the empty part, both tube-shaded (a lighter band over the top rows, a darker bottom row,
// darker ends); a glint passing over the filled part. No text, no peak mark.

#include <cstdint>

// A colour as 0xRRGGBB.
using Rgb = std::uint32_t;

class ProgressBarModel {
public:
    static constexpr int kWidth = 371;  // the window's bar
    static constexpr int kHeight = 21;
    static constexpr int kGlintWidth = 50;         // pixels, all of it brightening
    static constexpr int kGlintCore = 10;          // middle part at full strength
    static constexpr double kGlintStrength = 0.4;  // blend towards white over the core
    static constexpr int kAnimationSpeed = 3;      // the glint moves twice this per tick
    static constexpr int kGlintStep = 2 * kAnimationSpeed;
    static constexpr int kTickMs = 30;
    static constexpr int kShineRows = 6;            // lighter band along the top
    static constexpr int kFilledEnd = 8;            // darker ends of the filled part, each side
    static constexpr int kEmptyEnd = 3;             // darker ends of the empty part
    static constexpr Rgb kInitialColor = 0x28D300;  // RGB 40, 211, 0

    // A colour in the engine's blue-green-red encoding (0x00BBGGRR).
    static constexpr Rgb ColorFromBgr(std::uint32_t bgr) {
        return ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
    }

    explicit ProgressBarModel(int width = kWidth, int height = kHeight);

    // Columns [first, last) of the control.
    struct Columns {
        int first = 0;
        int last = 0;
    };

    // Every setter returns true when what the control draws has changed: the filled width in
    // pixels, the colour of a visible filled part, or the place of a visible glint; then
    // ChangedColumns() says where.
    bool Resize(int width, int height);
    // Setting a bound leaves the position where it is; the drawing clamps it.
    bool SetMinimum(double minimum);
    bool SetMaximum(double maximum);
    // While the maximum is above the minimum, a position outside the range is moved to its
    // nearest end.
    bool SetPosition(double position);
    bool SetBarColor(Rgb color);
    // One tick of the glint's timer: kGlintStep pixels right, and back to -kGlintWidth once its
    // left edge is at or past the filled part's end.
    bool AdvanceGlint();

    int Width() const { return width_; }
    int Height() const { return height_; }
    double Minimum() const { return minimum_; }
    double Maximum() const { return maximum_; }
    double Position() const { return position_; }
    Rgb BarColor() const { return barColor_; }
    // Left edge of the glint in inner-area coordinates.
    int GlintLeft() const { return glintLeft_; }
    // The columns that the last setter that returned true changed: a position moves only the
    // filled part's end, a tick of the glint only the glint. Only they need repainting.
    Columns ChangedColumns() const { return changed_; }
    Columns AllColumns() const { return {0, width_}; }

    // (position - minimum) / (maximum - minimum) within 0..1; a range of zero counts as 1.
    double FilledFraction() const;
    int InnerWidth() const { return width_ > 2 ? width_ - 2 : 0; }
    int InnerHeight() const { return height_ > 2 ? height_ - 2 : 0; }
    // Pixels of the inner width that the filled part covers.
    int FilledWidth() const;

    // Draws the control, Width() x Height() pixels of 0xFFRRGGBB (the layout of a Qt RGB32
    // image and of a 32-bit Windows DIB), rows `stride` pixels apart, top row first: the given
    // columns only, the other pixels left as they are. `frame` is the frame's colour, `empty`
    // the empty part's (the system window colour).
    void Render(std::uint32_t* pixels, int stride, Rgb frame, Rgb empty, Columns columns) const;
    void Render(std::uint32_t* pixels, int stride, Rgb frame, Rgb empty) const {
        Render(pixels, stride, frame, empty, AllColumns());
    }

private:
    struct Drawn {
        int width;
        int height;
        int filledWidth;
        Rgb color;      // 0 while nothing is filled
        int glintLeft;  // kHiddenGlint while no glint pixel lies over the filled part
        bool operator==(const Drawn&) const = default;
    };
    static constexpr int kHiddenGlint = -1000000;
    Drawn WhatIsDrawn() const;
    Columns ColumnsBetween(const Drawn& before, const Drawn& after) const;

    template <class Change>
    bool Redraws(Change&& change) {
        const Drawn before = WhatIsDrawn();
        change();
        const Drawn after = WhatIsDrawn();
        if (after == before) return false;
        changed_ = ColumnsBetween(before, after);
        return true;
    }

    int width_;
    int height_;
    Rgb barColor_ = kInitialColor;
    double minimum_ = 0;
    double maximum_ = 100;
    double position_ = 0;
    int glintLeft_ = -kGlintWidth;
    Columns changed_;
};
