#pragma once
// The window's two faces at a fixed pixel size, with a fallback where the face is missing.

#include <QFont>
#include <QString>

inline const QString kDialogFace = QStringLiteral("MS Sans Serif");
inline const QString kButtonFace = QStringLiteral("Verdana");
inline constexpr int kWindowFontPixels = 11;

// `family` at `pixelSize` when that family is installed; otherwise the closest installed face
// at the same pixel size: the first of a few look-alikes that is installed, else the system's
// sans-serif face.
QFont FontAtPixelSize(const QString& family, int pixelSize);

// The family FontAtPixelSize would use for `family`.
QString ResolvedFamily(const QString& family);
