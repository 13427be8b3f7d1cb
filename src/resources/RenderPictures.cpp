// Renders Duplora's pictures to PNG files.
//   duplora_render_pictures PICTURE.svg OUT.png SIZE   one picture, SIZE x SIZE pixels
//   duplora_render_pictures --icon ICON.svg PREFIX     PREFIX-48.png ... PREFIX-16.png, the
//                                                      images an icon holds (see pictures::Icon)
//   duplora_render_pictures --sheet OUT.png            every picture, actual size and 6x
// Paths may name the compiled-in pictures (":/pictures/icon-idle.svg") or files.
#include <QGuiApplication>
#include <QPainter>
#include <QTextStream>

#include "Pictures.h"

namespace {

constexpr int kZoom = 6;
constexpr int kGap = 8;

// One row per picture (icons: one row holding all sizes), each shown at its size on a light
// and a dark background, then magnified without smoothing on a checkerboard.
QImage Sheet() {
    struct Item {
        QString path;
        QSize size;
    };
    QList<QList<Item>> rows;
    for (const QString& path : pictures::AllPictures()) {
        if (path == pictures::kIconIdle || path == pictures::kIconBusy) {
            QList<Item> row;
            for (int side : pictures::kIconSizes) row.append({path, QSize(side, side)});
            rows.append(row);
        } else {
            rows.append({{path, pictures::NaturalSize(path)}});
        }
    }
    int width = 0;
    int height = kGap;
    for (const auto& row : rows) {
        int rowWidth = kGap;
        int rowHeight = 0;
        for (const Item& item : row) {
            rowWidth += item.size.width() * (2 + kZoom) + 3 * kGap;
            rowHeight = std::max(rowHeight, item.size.height() * kZoom);
        }
        width = std::max(width, rowWidth);
        height += rowHeight + kGap;
    }
    QImage sheet(width, height, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(212, 208, 200));
    QPainter painter(&sheet);
    int y = kGap;
    for (const auto& row : rows) {
        int x = kGap;
        int rowHeight = 0;
        for (const Item& item : row) {
            const QImage image = row.size() == 1
                                     ? pictures::Render(item.path, item.size)
                                     : pictures::Icon(item.path).pixmap(item.size).toImage();
            const int w = item.size.width();
            const int h = item.size.height();
            painter.drawImage(x, y, image);
            painter.fillRect(x + w + kGap, y, w, h, Qt::white);
            painter.drawImage(x + w + kGap, y, image);
            const int zx = x + 2 * (w + kGap);
            for (int cy = 0; cy < h * kZoom; cy += kZoom)
                for (int cx = 0; cx < w * kZoom; cx += kZoom)
                    painter.fillRect(
                        zx + cx, y + cy, kZoom, kZoom,
                        ((cx + cy) / kZoom) % 2 ? QColor(200, 200, 200) : QColor(240, 240, 240));
            painter.drawImage(QRect(zx, y, w * kZoom, h * kZoom), image);
            x = zx + w * kZoom + kGap;
            rowHeight = std::max(rowHeight, h * kZoom);
        }
        y += rowHeight + kGap;
    }
    return sheet;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTextStream err(stderr);
    if (args.size() == 3 && args[1] == QStringLiteral("--sheet")) {
        if (Sheet().save(args[2])) return 0;
        err << "cannot write " << args[2] << "\n";
        return 1;
    }
    if (args.size() == 4 && args[1] == QStringLiteral("--icon")) {
        const QIcon icon = pictures::Icon(args[2]);
        for (int side : pictures::kIconSizes) {
            const QString out = QStringLiteral("%1-%2.png").arg(args[3]).arg(side);
            const QImage image = icon.pixmap(QSize(side, side)).toImage();
            if (image.size() != QSize(side, side) || !image.save(out)) {
                err << "cannot write " << out << "\n";
                return 1;
            }
        }
        return 0;
    }
    if (args.size() == 4) {
        const int side = args[3].toInt();
        QString path = args[1];
        const QImage image = pictures::Render(path, QSize(side, side));
        if (image.isNull()) {
            err << "cannot read " << path << "\n";
            return 1;
        }
        if (image.save(args[2])) return 0;
        err << "cannot write " << args[2] << "\n";
        return 1;
    }
    err << "usage: duplora_render_pictures PICTURE.svg OUT.png SIZE\n"
           "       duplora_render_pictures --icon ICON.svg PREFIX\n"
           "       duplora_render_pictures --sheet OUT.png\n";
    return 2;
}
