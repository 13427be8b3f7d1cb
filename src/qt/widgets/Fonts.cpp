#include "qt/widgets/Fonts.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

namespace {

// Installed look-alikes, nearest first: Tahoma and Microsoft Sans Serif share the bitmap face's
// metrics on Windows; DejaVu Sans descends from Verdana's designer's Bitstream Vera and keeps
// its wide, open letters.
QStringList LookAlikes(const QString& family) {
    if (family.compare(kButtonFace, Qt::CaseInsensitive) == 0)
        return {"DejaVu Sans", "Bitstream Vera Sans", "Tahoma", "Liberation Sans", "Arial"};
    return {"Microsoft Sans Serif", "Tahoma", "Liberation Sans", "Arimo", "Arial", "DejaVu Sans"};
}

}  // namespace

QString ResolvedFamily(const QString& family) {
    if (QFontDatabase::hasFamily(family)) return family;
    for (const QString& candidate : LookAlikes(family))
        if (QFontDatabase::hasFamily(candidate)) return candidate;
    QFont generic;
    generic.setStyleHint(QFont::SansSerif);
    generic.setFamily(QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    return QFontInfo(generic).family();
}

QFont FontAtPixelSize(const QString& family, int pixelSize) {
    QFont font(ResolvedFamily(family));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    return font;
}
