// The progress bar: what it fills for a range and position, its glint, and what it draws.
#include <gtest/gtest.h>

#include <QImage>
#include <functional>

#include "qt/widgets/AnimatedProgressBar.h"

namespace {

constexpr std::uint32_t kNavyBgr = 0x800000;

struct RangeCase {
    const char* name;
    std::function<void(AnimatedProgressBar&)> apply;
    double position;
    double fraction;
};

class ProgressRangeTest : public ::testing::TestWithParam<RangeCase> {};

TEST_P(ProgressRangeTest, PositionAndFilledFraction) {
    AnimatedProgressBar bar;
    GetParam().apply(bar);
    EXPECT_DOUBLE_EQ(bar.Position(), GetParam().position);
    EXPECT_DOUBLE_EQ(bar.FilledFraction(), GetParam().fraction);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProgressRangeTest,
    ::testing::Values(RangeCase{"AtCreation", [](AnimatedProgressBar&) {}, 0, 0},
                      RangeCase{"Half", [](AnimatedProgressBar& b) { b.SetPosition(50); }, 50, 0.5},
                      RangeCase{"AboveMaximumIsMovedToIt",
                                [](AnimatedProgressBar& b) { b.SetPosition(150); }, 100, 1},
                      RangeCase{"BelowMinimumIsMovedToIt",
                                [](AnimatedProgressBar& b) { b.SetPosition(-5); }, 0, 0},
                      RangeCase{"MegabytesAsTheCopyReportsThem",
                                [](AnimatedProgressBar& b) {
                                    b.SetMaximum(12.5);
                                    b.SetPosition(3.125);
                                },
                                3.125, 0.25},
                      RangeCase{"CopiedBeyondTheTotalIsAFullBar",
                                [](AnimatedProgressBar& b) {
                                    b.SetMaximum(12.5);
                                    b.SetPosition(20);
                                },
                                12.5, 1},
                      RangeCase{"MaximumLoweredBelowThePositionKeepsItAndFills",
                                [](AnimatedProgressBar& b) {
                                    b.SetPosition(80);
                                    b.SetMaximum(50);
                                },
                                80, 1},
                      RangeCase{"MinimumRaisedAboveThePositionKeepsItAndEmpties",
                                [](AnimatedProgressBar& b) {
                                    b.SetPosition(20);
                                    b.SetMinimum(40);
                                },
                                20, 0},
                      RangeCase{"RangeOfZeroCountsAsOne",
                                [](AnimatedProgressBar& b) {
                                    b.SetMaximum(0);
                                    b.SetPosition(0.25);
                                },
                                0.25, 0.25},
                      RangeCase{"RangeOfZeroDoesNotClampAndFillsAtOne",
                                [](AnimatedProgressBar& b) {
                                    b.SetMaximum(0);
                                    b.SetPosition(7);
                                },
                                7, 1},
                      RangeCase{"EmptySourceOfZeroMegabytes",
                                [](AnimatedProgressBar& b) {
                                    b.SetMaximum(0);
                                    b.SetPosition(0);
                                },
                                0, 0},
                      RangeCase{"MaximumBelowMinimumDoesNotClamp",
                                [](AnimatedProgressBar& b) {
                                    b.SetMinimum(10);
                                    b.SetMaximum(5);
                                    b.SetPosition(100);
                                },
                                100, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AnimatedProgressBarTest, StartsAsTheWindowCreatesIt) {
    AnimatedProgressBar bar;
    EXPECT_EQ(bar.size(), QSize(371, 21));
    EXPECT_DOUBLE_EQ(bar.Minimum(), 0);
    EXPECT_DOUBLE_EQ(bar.Maximum(), 100);
    EXPECT_EQ(bar.BarColor(), QColor(40, 211, 0));
    EXPECT_EQ(AnimatedProgressBar::ColorFromBgr(kNavyBgr), QColor(0, 0, 128));
    EXPECT_TRUE(bar.GlintTimer().isActive());
    EXPECT_EQ(bar.GlintTimer().interval(), 30);
    EXPECT_EQ(bar.GlintLeft(), -ProgressBarModel::kGlintWidth);
}

TEST(AnimatedProgressBarTest, FilledWidthIsTheFractionOfTheInnerWidth) {
    AnimatedProgressBar bar;
    ASSERT_EQ(bar.InnerRect().width(), 369);
    for (auto [position, width] : {std::pair{0.0, 0}, {50.0, 185}, {100.0, 369}, {1.0, 4}}) {
        bar.SetPosition(position);
        EXPECT_EQ(bar.FilledWidth(), width) << position;
    }
}

// The glint moves 6 pixels a tick and starts again wholly left once wholly past the filled end.
TEST(AnimatedProgressBarTest, GlintMovesAndStartsAgainPastTheFilledEnd) {
    AnimatedProgressBar bar;
    bar.SetPosition(50);  // 185 pixels filled
    int expected = -50;
    for (int tick = 1; tick <= 39; ++tick) {
        bar.AdvanceGlint();
        expected += 6;
        ASSERT_EQ(bar.GlintLeft(), expected) << "tick " << tick;
    }
    EXPECT_EQ(bar.GlintLeft(), 184);  // its first pixel still over the last filled one
    bar.AdvanceGlint();
    EXPECT_EQ(bar.GlintLeft(), -50);
    bar.AdvanceGlint();
    EXPECT_EQ(bar.GlintLeft(), -44);
}

TEST(AnimatedProgressBarTest, GlintKeepsCyclingUnseenWhileNothingIsFilled) {
    AnimatedProgressBar bar;
    for (int tick = 0; tick < 100; ++tick) {
        bar.AdvanceGlint();
        ASSERT_LT(bar.GlintLeft(), 0);
        ASSERT_GE(bar.GlintLeft(), -50);
    }
    EXPECT_TRUE(bar.GlintTimer().isActive());
}

class ProgressDrawingTest : public ::testing::Test {
protected:
    void SetUp() override {
        bar.GlintTimer().stop();  // the glint stays where the test puts it
        bar.SetBarColor(AnimatedProgressBar::ColorFromBgr(kNavyBgr));
    }
    QImage Draw() { return bar.grab().toImage().convertToFormat(QImage::Format_RGB32); }
    static constexpr int kMiddleRow = 1 + 10;  // below the lighter band, above the bottom row
    AnimatedProgressBar bar;
};

TEST_F(ProgressDrawingTest, FilledPartInNavyEmptyPartInTheWindowColour) {
    bar.SetPosition(50);
    const QImage image = Draw();
    const QColor window = bar.palette().color(QPalette::Base);
    EXPECT_EQ(image.pixelColor(1 + 90, kMiddleRow), QColor(0, 0, 128));
    EXPECT_EQ(image.pixelColor(1 + 280, kMiddleRow), window);
    // The lighter band: the top row of the filled part is a lighter navy.
    const QColor top = image.pixelColor(1 + 90, 1);
    EXPECT_GT(top.red(), 60);
    EXPECT_EQ(top.blue() > top.red(), true);
    // Darker ends of the filled part.
    EXPECT_LT(image.pixelColor(1, kMiddleRow).blue(), 128);
    EXPECT_LT(image.pixelColor(1 + 184, kMiddleRow).blue(), 128);
}

// No text and no peak mark: away from the shaded ends every column of a part is the same.
TEST_F(ProgressDrawingTest, DrawsNothingButTheShadedParts) {
    for (double position : {0.0, 37.0, 80.0, 100.0}) {
        bar.SetPosition(position);
        const QImage image = Draw();
        const int filled = bar.FilledWidth();
        auto sameColumns = [&](int from, int to) {
            for (int x = from + 1; x < to; ++x)
                for (int y = 1; y < image.height() - 1; ++y)
                    if (image.pixel(1 + x, y) != image.pixel(1 + from, y)) return false;
            return true;
        };
        const int fe = ProgressBarModel::kFilledEnd;
        const int ee = ProgressBarModel::kEmptyEnd;
        if (filled > 2 * fe) {
            EXPECT_TRUE(sameColumns(fe, filled - fe)) << position;
        }
        if (369 - filled > 2 * ee) {
            EXPECT_TRUE(sameColumns(filled + ee, 369 - ee)) << position;
        }
    }
}

TEST_F(ProgressDrawingTest, GlintBrightensAndFadesAndStaysOnTheFilledPart) {
    bar.SetPosition(100);
    while (bar.GlintLeft() != 100) bar.AdvanceGlint();
    QImage image = Draw();
    auto at = [&](int x) { return image.pixelColor(1 + x, kMiddleRow); };
    // Middle 10 pixels: 40 % towards white; navy (0,0,128) gives (102,102,179).
    for (int x = 120; x < 130; ++x) {
        EXPECT_NEAR(at(x).red(), 102, 1) << x;
        EXPECT_NEAR(at(x).blue(), 179, 1) << x;
    }
    // Fading over 20 pixels either side, then nothing.
    EXPECT_GT(at(110).red(), 0);
    EXPECT_LT(at(110).red(), at(119).red());
    EXPECT_LT(at(140).red(), at(130).red());
    EXPECT_EQ(at(99), QColor(0, 0, 128));
    EXPECT_EQ(at(150), QColor(0, 0, 128));

    // Clipped at the filled part's end.
    bar.SetPosition(50);  // 185 pixels filled
    while (bar.GlintLeft() != 160) bar.AdvanceGlint();
    image = Draw();
    EXPECT_GT(at(182).red(), 50);
    EXPECT_EQ(at(190), bar.palette().color(QPalette::Base));
}

TEST_F(ProgressDrawingTest, ShortFilledPartKeepsItsShadingInProportion) {
    bar.SetPosition(2);  // 7 pixels, less than its two shaded ends
    ASSERT_EQ(bar.FilledWidth(), 7);
    const QImage image = Draw();
    // Symmetric ends, darkest at the edges, the middle column the plain colour.
    auto blue = [&](int x) { return image.pixelColor(1 + x, kMiddleRow).blue(); };
    EXPECT_EQ(blue(0), blue(6));
    EXPECT_LT(blue(0), blue(2));
    EXPECT_LE(blue(2), blue(3));
    EXPECT_GT(blue(3), 110);
}

}  // namespace
