// The step image: empty at first, showing a template's picture with its background through.
#include <gtest/gtest.h>

#include <QImage>

#include "qt/widgets/TransparentImage.h"
#include "resources/Pictures.h"

namespace {

class TransparentImageTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.resize(200, 100);
        QPalette pal = window.palette();
        pal.setColor(QPalette::Window, kBackground);
        window.setPalette(pal);
        window.setAutoFillBackground(true);
        templateImage.setGeometry(56, 70, 16, 16);
        templateImage.SetPicture(pictures::Load(pictures::kStepError));
        templateImage.hide();
        stepImage.move(8, 8);
    }
    QImage StepArea() { return window.grab(QRect(8, 8, 16, 16)).toImage(); }

    const QColor kBackground{10, 200, 220};
    QWidget window;
    TransparentImage templateImage{&window};
    TransparentImage stepImage{&window};
};

TEST_F(TransparentImageTest, EmptyUntilAPictureIsAssigned) {
    EXPECT_TRUE(stepImage.IsEmpty());
    EXPECT_EQ(stepImage.size(), QSize(16, 16));
    const QImage area = StepArea();
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) ASSERT_EQ(area.pixelColor(x, y), kBackground);
}

TEST_F(TransparentImageTest, TakesTheTemplatesPictureAndShowsTheBackgroundAroundIt) {
    stepImage.AssignPicture(templateImage);
    EXPECT_FALSE(stepImage.IsEmpty());
    EXPECT_EQ(stepImage.Picture().cacheKey(), templateImage.Picture().cacheKey());
    const QImage area = StepArea();
    EXPECT_EQ(area.pixelColor(0, 0), kBackground);  // outside the octagon
    EXPECT_EQ(area.pixelColor(0, 15), kBackground);
    const QColor middle = area.pixelColor(3, 8);  // red body
    EXPECT_GT(middle.red(), 150);
    EXPECT_LT(middle.green(), 120);

    // Another template later: the step image changes, the first template does not.
    const qint64 errorKey = templateImage.Picture().cacheKey();
    TransparentImage okTemplate(&window);
    okTemplate.SetPicture(pictures::Load(pictures::kStepOk));
    stepImage.AssignPicture(okTemplate);
    EXPECT_EQ(stepImage.Picture().cacheKey(), okTemplate.Picture().cacheKey());
    EXPECT_EQ(templateImage.Picture().cacheKey(), errorKey);
}

}  // namespace
