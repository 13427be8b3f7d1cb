// The picture button: its picture beside the caption, the second picture while disabled.
#include <gtest/gtest.h>

#include <QImage>

#include "qt/widgets/PictureButton.h"
#include "resources/Pictures.h"

namespace {

// Columns of the bright-green tick pixels in the button's drawing.
QList<int> GreenTickColumns(const PictureButton& button) {
    const QImage image = const_cast<PictureButton&>(button).grab().toImage();
    QList<int> columns;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.hsvSaturation() > 150 && c.hue() > 80 && c.hue() < 140 && c.value() > 150)
                columns.append(x);
        }
    return columns;
}

class PictureButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        button.setGeometry(7, 223, 122, 42);
        button.SetPicture(pictures::Load(pictures::kButtonStart));
        button.SetDisabledPicture(pictures::Load(pictures::kButtonStartDisabled));
    }
    PictureButton button{QStringLiteral("Iniciar Backup")};
};

// Its font is the window's (MainWindowTest checks it against the window's description).
TEST_F(PictureButtonTest, HandCursorAndPictureSize) {
    EXPECT_EQ(button.text(), QStringLiteral("Iniciar Backup"));
    EXPECT_EQ(button.cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(button.iconSize(), QSize(29, 32));
}

TEST_F(PictureButtonTest, ShowsThePaleSecondPictureWhileDisabled) {
    EXPECT_EQ(button.ShownPicture().cacheKey(), button.Picture().cacheKey());
    const QList<int> enabledTick = GreenTickColumns(button);
    ASSERT_GT(enabledTick.size(), 20);
    // Picture and caption are centred together, so the picture lies left of the middle.
    for (int x : enabledTick) EXPECT_LT(x, 61);

    button.setEnabled(false);
    EXPECT_EQ(button.ShownPicture().cacheKey(), button.DisabledPicture().cacheKey());
    EXPECT_TRUE(GreenTickColumns(button).isEmpty());

    button.setEnabled(true);
    EXPECT_EQ(GreenTickColumns(button).size(), enabledTick.size());
}

TEST(PictureButtonWithoutSecondPictureTest, IsGreyedByTheStyleWhileDisabled) {
    PictureButton button(QStringLiteral("Fechar"));
    button.resize(122, 42);
    button.SetPicture(pictures::Load(pictures::kButtonFechar));
    button.setEnabled(false);
    const QImage shown = button.ShownPicture().toImage();
    ASSERT_EQ(shown.size(), QSize(32, 32));
    int colourful = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const QColor c = shown.pixelColor(x, y);
            if (c.alpha() > 128 && c.hsvSaturation() > 100) ++colourful;
        }
    EXPECT_EQ(colourful, 0);
}

}  // namespace
