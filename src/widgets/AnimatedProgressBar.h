#pragma once
// A progress bar that fills from the left: a glossy, tube-shaded filled part in the bar colour
// with a glint passing over it, the empty part in the window colour, a thin flat frame. It
// draws no text and no peak mark.

#include <QColor>
#include <QTimer>
#include <QWidget>
#include <cstdint>

class AnimatedProgressBar : public QWidget {
    Q_OBJECT

public:
    static constexpr int kGlintWidth = 50;         // pixels, all of it brightening
    static constexpr int kGlintCore = 10;          // middle part at full strength
    static constexpr double kGlintStrength = 0.4;  // blend towards white over the core
    static constexpr int kAnimationSpeed = 3;      // the glint moves twice this per tick
    static constexpr int kGlintStep = 2 * kAnimationSpeed;
    static constexpr int kTickMs = 30;
    static constexpr int kShineRows = 6;  // lighter band along the top
    static constexpr int kFilledEnd = 8;  // darker ends of the filled part, each side
    static constexpr int kEmptyEnd = 3;   // darker ends of the empty part
    static inline const QColor kInitialColor{40, 211, 0};

    explicit AnimatedProgressBar(QWidget* parent = nullptr);

    double Minimum() const { return minimum_; }
    double Maximum() const { return maximum_; }
    double Position() const { return position_; }
    // Setting a bound leaves the position where it is; the drawing clamps it.
    void SetMinimum(double minimum);
    void SetMaximum(double maximum);
    // While the maximum is above the minimum, a position outside the range is moved to its
    // nearest end.
    void SetPosition(double position);

    QColor BarColor() const { return barColor_; }
    void SetBarColor(const QColor& color);
    // A colour in the toolkit-free code's blue-green-red encoding (0x00BBGGRR).
    static QColor ColorFromBgr(std::uint32_t bgr);

    // (position - minimum) / (maximum - minimum) within 0..1; a range of zero counts as 1.
    double FilledFraction() const;
    // Pixels of the inner width that the filled part covers.
    int FilledWidth() const;
    QRect InnerRect() const { return rect().adjusted(1, 1, -1, -1); }

    // Left edge of the glint in inner-area coordinates; it starts at -kGlintWidth.
    int GlintLeft() const { return glintLeft_; }
    // One tick of the glint's timer: moves it kGlintStep right, and back to its start once it
    // lies wholly right of the filled part's end.
    void AdvanceGlint();
    QTimer& GlintTimer() { return glintTimer_; }
    const QTimer& GlintTimer() const { return glintTimer_; }

    QSize sizeHint() const override { return {371, 21}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor barColor_ = kInitialColor;
    double minimum_ = 0;
    double maximum_ = 100;
    double position_ = 0;
    int glintLeft_ = -kGlintWidth;
    QTimer glintTimer_;
};
