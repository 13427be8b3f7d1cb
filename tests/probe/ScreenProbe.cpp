// Reads what a user sees in a screenshot of Duplora's window (its client area, 385 x 273, as
// `import -window ID` takes it under an X server without a window manager):
//   duplora_screen_probe SHOT.png
// prints one line per step image with the state its picture shows, and whether lblProgresso
// begins with the closing line:
//   step 1: Ok
//   ...
//   step 4: Ok
//   closing line: shown
// A step picture is recognised by comparing its 16 x 16 region with the four step pictures
// rendered by the program's own loader over the panel's background; the closing line by
// comparing the start of lblProgresso with "Backup finalizado as " drawn in the window's font
// and style. Exit status 0 when the screenshot could be read, 2 otherwise.
//
//   duplora_screen_probe --double-click-time
// prints the time in milliseconds within which Qt, started as Duplora is (on the display of
// DISPLAY, with the same environment), joins two presses into a double click.
//
// It is a test tool, not part of Duplora: the program itself has no hooks for it.
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QStyleHints>
#include <QTextStream>
#include <QWidget>
#include <cstdlib>

#include "qt/widgets/Fonts.h"
#include "resources/Pictures.h"

namespace {

constexpr QSize kClientSize(385, 273);
constexpr QPoint kStepImage(8 + 8, 56 + 10);  // imgConectarBanco in pnlOpcoes; 20 pixels apart
constexpr int kStepPitch = 20;
constexpr QPoint kProgressLabel(8, 160);  // lblProgresso
constexpr double kMatchLimit = 6.0;       // mean difference per channel, 0..255

// Mean absolute difference per colour channel between `image` at `at` and `pattern`.
double Difference(const QImage& image, QPoint at, const QImage& pattern) {
    double sum = 0;
    for (int y = 0; y < pattern.height(); ++y)
        for (int x = 0; x < pattern.width(); ++x) {
            const QRgb a = image.pixel(at.x() + x, at.y() + y);
            const QRgb b = pattern.pixel(x, y);
            sum += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                   std::abs(qBlue(a) - qBlue(b));
        }
    return sum / (3.0 * pattern.width() * pattern.height());
}

QImage Over(const QString& picture, QColor background) {
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(background);
    QPainter painter(&image);
    painter.drawImage(0, 0, pictures::Render(picture, QSize(16, 16)));
    return image;
}

QString StepState(const QImage& shot, int step) {
    const QPoint at = kStepImage + QPoint(0, kStepPitch * (step - 1));
    // Every step picture leaves its corners transparent: the corner shows the panel.
    const QColor background = shot.pixelColor(at);
    QImage plain(16, 16, QImage::Format_RGB32);
    plain.fill(background);
    if (Difference(shot, at, plain) < 1.0) return QStringLiteral("Empty");
    const std::pair<const char*, QString> states[] = {{"Pending", pictures::kStepPending},
                                                      {"Processing", pictures::kStepProcessing},
                                                      {"Ok", pictures::kStepOk},
                                                      {"Error", pictures::kStepError}};
    QString best = QStringLiteral("Unknown");
    double bestDifference = kMatchLimit;
    for (const auto& [name, picture] : states) {
        const double difference = Difference(shot, at, Over(picture, background));
        if (difference < bestDifference) {
            bestDifference = difference;
            best = QString::fromLatin1(name);
        }
    }
    return best;
}

// "Backup finalizado as " as the window draws it in lblProgresso: a label in the window's font
// on a window of the program's style and palette.
QImage ClosingLinePrefix() {
    QWidget window;
    window.setFont(FontAtPixelSize(kDialogFace, kWindowFontPixels));
    QLabel* label = new QLabel(QStringLiteral("Backup finalizado as "), &window);
    label->adjustSize();
    window.resize(label->size());
    return window.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

bool ClosingLineShown(const QImage& shot) {
    const QImage prefix = ClosingLinePrefix();
    // The trailing blank is left out: what follows it on the screen is the date.
    const QImage text = prefix.copy(0, 0, prefix.width() - 4, prefix.height());
    if (kProgressLabel.x() + text.width() > shot.width() ||
        kProgressLabel.y() + text.height() > shot.height())
        return false;
    return Difference(shot, kProgressLabel, text) < 2.0;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Windows"));  // as Duplora's main program sets it
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        err << "usage: duplora_screen_probe SHOT.png | --double-click-time\n";
        return 2;
    }
    if (args[1] == QStringLiteral("--double-click-time")) {
        out << QGuiApplication::styleHints()->mouseDoubleClickInterval() << "\n";
        return 0;
    }
    const QImage shot = QImage(args[1]).convertToFormat(QImage::Format_RGB32);
    if (shot.size() != kClientSize) {
        err << "duplora_screen_probe: " << args[1] << " is not a 385 x 273 picture of the window\n";
        return 2;
    }
    for (int step = 1; step <= 4; ++step)
        out << "step " << step << ": " << StepState(shot, step) << "\n";
    out << "closing line: " << (ClosingLineShown(shot) ? "shown" : "not shown") << "\n";
    return 0;
}
