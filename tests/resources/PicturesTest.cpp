// Every picture loads from the compiled-in resources at its size, with a transparent background.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QImage>
#include <QSet>

#include "resources/Pictures.h"

namespace {

struct PictureCase {
    QString path;
    QSize size;
};

void PrintTo(const PictureCase& c, std::ostream* os) { *os << c.path.toStdString(); }

class PicturesTest : public ::testing::TestWithParam<PictureCase> {};

// Pixels at least half covered.
int VisiblePixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) count += qAlpha(image.pixel(x, y)) >= 128;
    return count;
}

TEST_P(PicturesTest, LoadsAtItsSizeOnATransparentBackground) {
    const PictureCase& c = GetParam();
    EXPECT_EQ(pictures::NaturalSize(c.path), c.size);
    const QImage image = pictures::Render(c.path);
    ASSERT_FALSE(image.isNull()) << c.path.toStdString();
    EXPECT_EQ(image.size(), c.size);
    ASSERT_TRUE(image.hasAlphaChannel());
    const int w = image.width() - 1;
    const int h = image.height() - 1;
    for (QPoint corner : {QPoint(0, 0), QPoint(w, 0), QPoint(0, h), QPoint(w, h)})
        EXPECT_EQ(qAlpha(image.pixel(corner)), 0)
            << c.path.toStdString() << " at " << corner.x() << "," << corner.y();
    // Something is drawn, and it is not a filled square.
    const int visible = VisiblePixels(image);
    EXPECT_GT(visible, image.width() * image.height() / 8) << c.path.toStdString();
    EXPECT_LT(visible, image.width() * image.height()) << c.path.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    AllPictures, PicturesTest,
    ::testing::Values(
        PictureCase{pictures::kStepPending, {16, 16}},
        PictureCase{pictures::kStepProcessing, {16, 16}}, PictureCase{pictures::kStepOk, {16, 16}},
        PictureCase{pictures::kStepError, {16, 16}}, PictureCase{pictures::kIconIdle, {48, 48}},
        PictureCase{pictures::kIconBusy, {48, 48}}, PictureCase{pictures::kButtonStart, {29, 32}},
        PictureCase{pictures::kButtonStartDisabled, {29, 32}},
        PictureCase{pictures::kButtonOcultar, {28, 28}},
        PictureCase{pictures::kButtonFechar, {32, 32}},
        PictureCase{pictures::kTrayFechar, {16, 16}}, PictureCase{pictures::kTrayOcultar, {16, 16}},
        PictureCase{pictures::kTrayRestaurar, {16, 16}},
        PictureCase{pictures::kTrayIniciarBackup, {16, 16}}),
    [](const auto& info) {
        return info.param.path.section('/', -1).section('.', 0, 0).replace('-', '_').toStdString();
    });

// The list that the previews and the Windows build's pictures are made from holds every picture
// compiled in, once; a 16-pixel companion belongs to its picture's icon and is not listed.
TEST(PicturesListTest, ListsEveryCompiledInPictureOnce) {
    const QList<QString> listed = pictures::AllPictures();
    EXPECT_EQ(QSet<QString>(listed.begin(), listed.end()).size(), listed.size()) << "listed twice";
    pictures::NaturalSize(listed.value(0));  // the resources are registered by the first use
    QSet<QString> compiledIn;
    QDirIterator files(QStringLiteral(":/pictures"), QDir::Files);
    while (files.hasNext()) {
        const QString path = files.next();
        if (!path.endsWith(QStringLiteral("-16.svg"))) compiledIn.insert(path);
    }
    EXPECT_FALSE(compiledIn.isEmpty());
    EXPECT_EQ(QSet<QString>(listed.begin(), listed.end()), compiledIn);
}

TEST(PicturesIconTest, IdleAndBusyIconsHoldFourSizesWithAlpha) {
    for (const QString& path : {pictures::kIconIdle, pictures::kIconBusy}) {
        const QIcon icon = pictures::Icon(path);
        const QList<QSize> sizes = icon.availableSizes();
        for (int side : pictures::kIconSizes) {
            EXPECT_TRUE(sizes.contains(QSize(side, side))) << path.toStdString() << " " << side;
            const QImage image = icon.pixmap(QSize(side, side)).toImage();
            EXPECT_EQ(image.size(), QSize(side, side));
            EXPECT_TRUE(image.hasAlphaChannel());
            EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
            EXPECT_GT(VisiblePixels(image), side * side / 3);
        }
    }
}

// The two icons differ where it matters: the idle one has the floppy's black body in the middle,
// left of its label.
TEST(PicturesIconTest, IdleShowsADarkDiskAndBusyDoesNot) {
    auto middleIsDark = [](const QString& path, int side) {
        const QImage image = pictures::Icon(path).pixmap(QSize(side, side)).toImage();
        const int x = side * 15 / 48;
        const int y = side * 26 / 48;
        const QColor c = image.pixelColor(x, y);
        return c.alpha() == 255 && c.lightness() < 80;
    };
    for (int side : pictures::kIconSizes) {
        EXPECT_TRUE(middleIsDark(pictures::kIconIdle, side)) << side;
        EXPECT_FALSE(middleIsDark(pictures::kIconBusy, side)) << side;
    }
}

// The disabled start picture is the pale one: no pixel of it is strongly coloured or dark.
TEST(PicturesTest, DisabledStartPictureIsWashedOut) {
    const QImage enabled = pictures::Render(pictures::kButtonStart);
    const QImage disabled = pictures::Render(pictures::kButtonStartDisabled);
    int enabledGreen = 0;
    for (int y = 0; y < enabled.height(); ++y)
        for (int x = 0; x < enabled.width(); ++x) {
            const QColor e = enabled.pixelColor(x, y);
            if (e.alpha() == 255 && e.hsvSaturation() > 150 && e.hue() > 80 && e.hue() < 140)
                ++enabledGreen;
            const QColor d = disabled.pixelColor(x, y);
            if (d.alpha() < 128) continue;
            EXPECT_LT(d.hsvSaturation(), 60) << x << "," << y;
            EXPECT_GT(d.lightness(), 150) << x << "," << y;
        }
    EXPECT_GT(enabledGreen, 40);
}

}  // namespace
