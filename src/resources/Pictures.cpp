#include "resources/Pictures.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

// Outside any namespace, as the resource initialiser requires. Referencing it from this file
// also keeps the linker from dropping the compiled-in pictures out of the static library.
static void InitPictureResources() { Q_INIT_RESOURCE(duplora); }

namespace pictures {
namespace {

void EnsureResources() {
    static const bool done = [] {
        InitPictureResources();
        return true;
    }();
    (void)done;
}

QString SmallCompanion(const QString& path) {
    QString small = path;
    small.replace(QStringLiteral(".svg"), QStringLiteral("-16.svg"));
    return small;
}

}  // namespace

QList<QString> AllPictures() {
    return {kStepPending,   kStepProcessing,   kStepOk,      kStepError,
            kIconIdle,      kIconBusy,         kButtonStart, kButtonStartDisabled,
            kButtonOcultar, kButtonFechar,     kTrayFechar,  kTrayOcultar,
            kTrayRestaurar, kTrayIniciarBackup};
}

QSize NaturalSize(const QString& path) {
    EnsureResources();
    QSvgRenderer renderer(path);
    return renderer.isValid() ? renderer.defaultSize() : QSize();
}

QImage Render(const QString& path, QSize size) {
    EnsureResources();
    QSvgRenderer renderer(path);
    if (!renderer.isValid()) return {};
    if (size.isEmpty()) size = renderer.defaultSize();
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

QPixmap Load(const QString& path, QSize size) { return QPixmap::fromImage(Render(path, size)); }

QIcon Icon(const QString& path) {
    EnsureResources();
    const QString small = SmallCompanion(path);
    const bool hasSmall = QFile::exists(small);
    QIcon icon;
    for (int side : kIconSizes) {
        const QString& source = (hasSmall && side == 16) ? small : path;
        icon.addPixmap(Load(source, QSize(side, side)));
    }
    return icon;
}

}  // namespace pictures
