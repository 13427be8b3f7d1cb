// Renders Duplora's pictures to PNG files.
//   duplora_render_pictures PICTURE.svg OUT.png SIZE   one picture, SIZE x SIZE pixels
//   duplora_render_pictures --sheet OUT.png            every picture, actual size and 6x
//   duplora_render_pictures --win32 FOLDER             every picture as the Windows build's
//                                                      resources: <name>.bmp, 32-bit with
//                                                      premultiplied alpha; icons <name>.ico
// Paths may name the compiled-in pictures (":/pictures/icon-idle.svg") or files.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QTextStream>
#include <QtEndian>

#include "resources/Pictures.h"

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

// Little-endian fields of the Windows bitmap and icon formats.
void Put16(QByteArray& out, quint16 value) {
    value = qToLittleEndian(value);
    out.append(reinterpret_cast<const char*>(&value), 2);
}
void Put32(QByteArray& out, quint32 value) {
    value = qToLittleEndian(value);
    out.append(reinterpret_cast<const char*>(&value), 4);
}

// BITMAPINFOHEADER and the 32-bit pixels, bottom row first, blue-green-red-alpha: the layout of
// `image` (ARGB32, premultiplied or not) in little-endian memory. `heightField` is the header's
// height (twice the image's in an icon, whose AND mask follows).
QByteArray Dib(const QImage& image, int heightField) {
    QByteArray out;
    Put32(out, 40);
    Put32(out, image.width());
    Put32(out, heightField);
    Put16(out, 1);   // planes
    Put16(out, 32);  // bits per pixel
    Put32(out, 0);   // BI_RGB
    Put32(out, image.width() * image.height() * 4);
    for (int i = 0; i < 4; ++i) Put32(out, 0);  // resolution, palette
    for (int y = image.height() - 1; y >= 0; --y)
        for (int x = 0; x < image.width(); ++x) Put32(out, image.pixel(x, y));
    return out;
}

// A .bmp file of 32 bits with premultiplied alpha, which LoadImage(LR_CREATEDIBSECTION) keeps
// as it is and AlphaBlend draws.
QByteArray BmpFile(const QImage& picture) {
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QByteArray dib = Dib(image, image.height());
    QByteArray out("BM");
    Put32(out, 14 + dib.size());
    Put32(out, 0);
    Put32(out, 14 + 40);
    return out + dib;
}

// An .ico file of 32-bit images with (straight) alpha, the given sizes in that order.
QByteArray IcoFile(const QIcon& icon) {
    QList<QByteArray> images;
    for (int side : pictures::kIconSizes) {
        const QImage image =
            icon.pixmap(QSize(side, side)).toImage().convertToFormat(QImage::Format_ARGB32);
        QByteArray data = Dib(image, 2 * side);
        data.append(QByteArray(((side + 31) / 32) * 4 * side, '\0'));  // AND mask: alpha rules
        images.append(data);
    }
    QByteArray out;
    Put16(out, 0);
    Put16(out, 1);  // icon
    Put16(out, static_cast<quint16>(images.size()));
    quint32 offset = 6 + 16 * images.size();
    for (int i = 0; i < images.size(); ++i) {
        const int side = pictures::kIconSizes[i];
        out.append(static_cast<char>(side));
        out.append(static_cast<char>(side));
        out.append('\0');  // no palette
        out.append('\0');
        Put16(out, 1);
        Put16(out, 32);
        Put32(out, images[i].size());
        Put32(out, offset);
        offset += images[i].size();
    }
    for (const QByteArray& image : images) out += image;
    return out;
}

bool WriteFile(const QString& path, const QByteArray& data) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

// Every picture as a resource file of the Windows build, named after its source.
bool WriteWin32Resources(const QString& folder, QTextStream& err) {
    QDir().mkpath(folder);
    for (const QString& path : pictures::AllPictures()) {
        const QString name = QFileInfo(path).completeBaseName();
        const bool icon = path == pictures::kIconIdle || path == pictures::kIconBusy;
        const QString out = folder + QLatin1Char('/') + name + (icon ? ".ico" : ".bmp");
        const QByteArray data =
            icon ? IcoFile(pictures::Icon(path)) : BmpFile(pictures::Render(path));
        if (!WriteFile(out, data)) {
            err << "cannot write " << out << "\n";
            return false;
        }
    }
    return true;
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
    if (args.size() == 3 && args[1] == QStringLiteral("--win32"))
        return WriteWin32Resources(args[2], err) ? 0 : 1;
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
           "       duplora_render_pictures --sheet OUT.png\n"
           "       duplora_render_pictures --win32 FOLDER\n";
    return 2;
}
