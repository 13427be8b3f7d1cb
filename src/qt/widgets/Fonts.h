#pragma once
// The window's two faces at a fixed pixel size, with a fallback where the face is missing.

#include <QFont>
#include <QString>

#include "controls/WindowLayout.h"

// The window's fonts as its description (WindowLayout.h) names them.
inline const QString kDialogFace = QString::fromLatin1(kDialogFont.face);
inline const QString kButtonFace = QString::fromLatin1(kButtonFont.face);
inline constexpr int kWindowFontPixels = kDialogFont.pixels;

// `family` at `pixelSize` when that family is installed; otherwise the closest installed face
// at the same pixel size: the first of a few look-alikes that is installed, else the system's
// sans-serif face.
QFont FontAtPixelSize(const QString& family, int pixelSize);

// The family FontAtPixelSize would use for `family`.
QString ResolvedFamily(const QString& family);
