#pragma once
// The window's pictures (WindowLayout.h) as the Qt window loads them from the compiled-in SVG
// sources.

#include <QIcon>
#include <QPixmap>
#include <QString>

#include "controls/WindowLayout.h"

QString PicturePath(Picture picture);
// At the size its source declares; a null pixmap for Picture::None.
QPixmap LoadPicture(Picture picture);
// A multi-size icon (48, 32, 24 and 16 pixels).
QIcon LoadIcon(Picture picture);
