#pragma once
// cxProgressBar1 as a Qt widget: a shell around ProgressBarModel, which holds the state and
// draws the pixels. The widget repaints only when the model says that what it draws changed,
// and only the columns that changed.

#include <QColor>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <cstdint>

#include "controls/ProgressBarModel.h"

class AnimatedProgressBar : public QWidget {
    Q_OBJECT

public:
    explicit AnimatedProgressBar(QWidget* parent = nullptr);

    double Minimum() const { return Model().Minimum(); }
    double Maximum() const { return Model().Maximum(); }
    double Position() const { return Model().Position(); }
    void SetMinimum(double minimum);
    void SetMaximum(double maximum);
    void SetPosition(double position);

    QColor BarColor() const { return QColor::fromRgb(Model().BarColor()); }
    void SetBarColor(const QColor& color);
    // A colour in the toolkit-free code's blue-green-red encoding (0x00BBGGRR).
    static QColor ColorFromBgr(std::uint32_t bgr) {
        return QColor::fromRgb(ProgressBarModel::ColorFromBgr(bgr));
    }

    double FilledFraction() const { return Model().FilledFraction(); }
    int FilledWidth() const { return Model().FilledWidth(); }
    QRect InnerRect() const { return rect().adjusted(1, 1, -1, -1); }

    int GlintLeft() const { return Model().GlintLeft(); }
    // One tick of the glint's timer (GlintTimer(), every ProgressBarModel::kTickMs).
    void AdvanceGlint();
    QTimer& GlintTimer() { return glintTimer_; }
    const QTimer& GlintTimer() const { return glintTimer_; }

    QSize sizeHint() const override {
        return {ProgressBarModel::kWidth, ProgressBarModel::kHeight};
    }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The model at the widget's present size.
    ProgressBarModel& Model() const;
    // Asks for a paint of the columns that the model's last change redrew.
    void Repaint(bool changed);

    mutable ProgressBarModel model_;
    QImage image_;  // what the model draws, kept from one paint to the next
    QTimer glintTimer_;
};
