// The window's faces: the named one where installed, otherwise an installed look-alike, always at
// the pixel size asked for.
#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

#include "qt/widgets/Fonts.h"

namespace {

TEST(FontsTest, InstalledFamilyIsUsedAsItIs) {
    const QStringList families = QFontDatabase::families();
    ASSERT_FALSE(families.isEmpty());
    EXPECT_EQ(ResolvedFamily(families.first()), families.first());
}

TEST(FontsTest, MissingFamilyFallsBackToAnInstalledFaceAtTheSamePixelSize) {
    for (const QString& family :
         {kDialogFace, kButtonFace, QStringLiteral("No Such Face Anywhere")}) {
        const QString resolved = ResolvedFamily(family);
        EXPECT_TRUE(QFontDatabase::hasFamily(resolved)) << resolved.toStdString();
        const QFont font = FontAtPixelSize(family, kWindowFontPixels);
        EXPECT_EQ(font.pixelSize(), 11);
        const QFontInfo info(font);
        EXPECT_EQ(info.family(), resolved);
        EXPECT_EQ(info.pixelSize(), 11);
    }
}

}  // namespace
