// The progress bar's model: what a change does to the drawing, and the pixels it draws.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "controls/ProgressBarModel.h"

namespace {

constexpr Rgb kNavy = ProgressBarModel::ColorFromBgr(0x800000);
constexpr Rgb kFrame = 0xA0A0A0;
constexpr Rgb kWindow = 0xFFFFFF;

// Each change, whether the window must repaint the bar for it, and how many columns at most.
struct ChangeCase {
    const char* name;
    std::function<void(ProgressBarModel&)> before;
    std::function<bool(ProgressBarModel&)> change;
    bool redraws;
    int mostColumns = 0;
};

class ProgressRedrawTest : public ::testing::TestWithParam<ChangeCase> {};

// The answer agrees with the pixels, and repainting the changed columns alone over the old
// drawing gives the new one.
TEST_P(ProgressRedrawTest, RepaintsOnlyWhatItDrawsDifferently) {
    ProgressBarModel bar;
    GetParam().before(bar);
    std::vector<std::uint32_t> before(ProgressBarModel::kWidth * ProgressBarModel::kHeight);
    bar.Render(before.data(), ProgressBarModel::kWidth, kFrame, kWindow);
    EXPECT_EQ(GetParam().change(bar), GetParam().redraws);
    std::vector<std::uint32_t> after(before.size());
    bar.Render(after.data(), ProgressBarModel::kWidth, kFrame, kWindow);
    EXPECT_EQ(after != before, GetParam().redraws);
    if (!GetParam().redraws) return;

    const ProgressBarModel::Columns changed = bar.ChangedColumns();
    EXPECT_LE(changed.last - changed.first, GetParam().mostColumns);
    std::vector<std::uint32_t> repainted = before;
    bar.Render(repainted.data(), ProgressBarModel::kWidth, kFrame, kWindow, changed);
    EXPECT_EQ(repainted, after);
}

void Filled(ProgressBarModel& bar) {
    bar.SetBarColor(kNavy);
    bar.SetMaximum(12.5);
    bar.SetPosition(3.125);  // a quarter: 92 pixels
}

constexpr int kBoundary = ProgressBarModel::kFilledEnd + ProgressBarModel::kEmptyEnd;

INSTANTIATE_TEST_SUITE_P(
    Cases, ProgressRedrawTest,
    ::testing::Values(
        ChangeCase{"APositionThatMovesTheFilledEnd", Filled,
                   [](ProgressBarModel& b) { return b.SetPosition(6.25); }, true, 93 + kBoundary},
        ChangeCase{"APositionOnePixelFurther", Filled,
                   [](ProgressBarModel& b) { return b.SetPosition(3.16); }, true, 1 + kBoundary},
        ChangeCase{"APositionWithinTheSamePixel", Filled,
                   [](ProgressBarModel& b) { return b.SetPosition(3.126); }, false},
        ChangeCase{"TheSameColourAgain", Filled,
                   [](ProgressBarModel& b) { return b.SetBarColor(kNavy); }, false},
        ChangeCase{"AnotherColourOfAFilledPart", Filled,
                   [](ProgressBarModel& b) { return b.SetBarColor(0x28D300); }, true,
                   ProgressBarModel::kWidth},
        ChangeCase{"AnotherColourWhileNothingIsFilled", [](ProgressBarModel&) {},
                   [](ProgressBarModel& b) { return b.SetBarColor(kNavy); }, false},
        ChangeCase{"TheSameMaximumAgain", Filled,
                   [](ProgressBarModel& b) { return b.SetMaximum(12.5); }, false},
        ChangeCase{"AMaximumOfZeroFillsTheBar", Filled,  // a range of zero counts as 1
                   [](ProgressBarModel& b) { return b.SetMaximum(0); }, true,
                   (369 - 92) + kBoundary},
        ChangeCase{"TheGlintOverTheFilledPart",
                   [](ProgressBarModel& b) {
                       Filled(b);
                       b.AdvanceGlint();  // -44: its right part over the filled pixels
                   },
                   [](ProgressBarModel& b) { return b.AdvanceGlint(); }, true,
                   ProgressBarModel::kGlintWidth + ProgressBarModel::kGlintStep},
        ChangeCase{"TheGlintStartingAgainPastTheFilledEnd",
                   [](ProgressBarModel& b) {
                       Filled(b);
                       while (b.GlintLeft() + ProgressBarModel::kGlintStep < 92) b.AdvanceGlint();
                   },
                   [](ProgressBarModel& b) { return b.AdvanceGlint(); }, true,
                   ProgressBarModel::kGlintWidth},
        ChangeCase{"TheGlintWhileNothingIsFilled", [](ProgressBarModel&) {},
                   [](ProgressBarModel& b) { return b.AdvanceGlint(); }, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProgressBarModelTest, DrawsTheFrameTheShadedPartsAndTheGlint) {
    ProgressBarModel bar;
    bar.SetBarColor(kNavy);
    bar.SetPosition(100);
    while (bar.GlintLeft() != 100) bar.AdvanceGlint();
    const int stride = ProgressBarModel::kWidth + 5;  // rows need not be packed
    std::vector<std::uint32_t> pixels(stride * ProgressBarModel::kHeight, 0x12345678);
    bar.Render(pixels.data(), stride, kFrame, kWindow);
    auto at = [&](int x, int y) { return pixels[y * stride + x] & 0xFFFFFF; };
    EXPECT_EQ(at(0, 0), kFrame);
    EXPECT_EQ(at(370, 20), kFrame);
    EXPECT_EQ(pixels[stride - 1], 0x12345678u);  // nothing written beyond the width
    EXPECT_EQ(pixels[0] >> 24, 0xFFu);
    constexpr int kMiddleRow = 1 + 10;
    EXPECT_EQ(at(1 + 90, kMiddleRow), kNavy);
    EXPECT_EQ(at(1 + 125, kMiddleRow), 0x6666B3u);  // 40 % towards white: (102, 102, 179)
    EXPECT_LT(at(1, kMiddleRow) & 0xFF, 128u);      // a darker end
}

}  // namespace
