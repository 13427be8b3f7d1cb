#pragma once
// Duplora's pictures. The sources are SVG files compiled in as Qt resources; each declares its
// own pixel size, and is rendered with an alpha channel onto a transparent background.

#include <QIcon>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace pictures {

// Step pictures, 16 x 16 (the templates imgPendende, imgProcessando, imgOk, imgErro).
inline const QString kStepPending = QStringLiteral(":/pictures/step-pending.svg");
inline const QString kStepProcessing = QStringLiteral(":/pictures/step-processing.svg");
inline const QString kStepOk = QStringLiteral(":/pictures/step-ok.svg");
inline const QString kStepError = QStringLiteral(":/pictures/step-error.svg");

// Idle and busy icons (ImgIcone1, ImgIcone2): multi-size, see Icon().
inline const QString kIconIdle = QStringLiteral(":/pictures/icon-idle.svg");
inline const QString kIconBusy = QStringLiteral(":/pictures/icon-busy.svg");

// Button pictures: start 29 x 32 (enabled and pale disabled), Ocultar 28 x 28, Fechar 32 x 32.
inline const QString kButtonStart = QStringLiteral(":/pictures/button-start.svg");
inline const QString kButtonStartDisabled = QStringLiteral(":/pictures/button-start-disabled.svg");
inline const QString kButtonOcultar = QStringLiteral(":/pictures/button-ocultar.svg");
inline const QString kButtonFechar = QStringLiteral(":/pictures/button-fechar.svg");

// Tray menu pictures (ListaImagemTray), 16 x 16, in index order 0..3:
// Fechar, Ocultar, Restaurar, Iniciar Backup.
inline const QString kTrayFechar = QStringLiteral(":/pictures/tray-0-fechar.svg");
inline const QString kTrayOcultar = QStringLiteral(":/pictures/tray-1-ocultar.svg");
inline const QString kTrayRestaurar = QStringLiteral(":/pictures/tray-2-restaurar.svg");
inline const QString kTrayIniciarBackup = QStringLiteral(":/pictures/tray-3-iniciar-backup.svg");

// The sizes every icon holds.
inline constexpr int kIconSizes[] = {48, 32, 24, 16};

// Every picture path above, for previews and tests.
QList<QString> AllPictures();

// The size the picture's source declares; an empty size when it cannot be read.
QSize NaturalSize(const QString& path);

// The picture rendered at `size` (its natural size when empty), premultiplied ARGB with a
// transparent background. A null image when the source cannot be read.
QImage Render(const QString& path, QSize size = {});
QPixmap Load(const QString& path, QSize size = {});

// An icon holding the picture at 48, 32, 24 and 16 pixels. A source "<name>.svg" may have a
// simplified companion "<name>-16.svg" drawn on the pixel grid for the 16-pixel image.
QIcon Icon(const QString& path);

}  // namespace pictures
