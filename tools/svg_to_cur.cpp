// Turns a drawn cursor (SVG) into a cursor file that carries its hot spot, as the
// program's "Hand.cur" is made from resources/pictures/hand.svg:
//
//   g++ -std=c++20 -fPIC tools/svg_to_cur.cpp -o svg_to_cur $(pkg-config --cflags --libs Qt6Gui)
//   ./svg_to_cur resources/pictures/hand.svg resources/pictures/Hand.cur 11 1
//
// The file holds one 32-bit image with its transparency mask, the layout every desktop
// reads cursors in.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <QByteArray>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>

namespace {

void Word(QByteArray& out, uint16_t value) {
    out.append(static_cast<char>(value & 0xFF));
    out.append(static_cast<char>(value >> 8));
}

void Dword(QByteArray& out, uint32_t value) {
    Word(out, static_cast<uint16_t>(value & 0xFFFF));
    Word(out, static_cast<uint16_t>(value >> 16));
}

QByteArray CursorFile(const QImage& image, int hotX, int hotY) {
    const int side = image.width();
    const int maskStride = ((side + 31) / 32) * 4;
    const uint32_t colourBytes = static_cast<uint32_t>(side * side * 4);
    const uint32_t maskBytes = static_cast<uint32_t>(maskStride * side);
    const uint32_t imageBytes = 40 + colourBytes + maskBytes;

    QByteArray out;
    Word(out, 0);  // reserved
    Word(out, 2);  // a cursor
    Word(out, 1);  // one image
    out.append(static_cast<char>(side == 256 ? 0 : side));
    out.append(static_cast<char>(side == 256 ? 0 : side));
    out.append('\0');  // no palette
    out.append('\0');
    Word(out, static_cast<uint16_t>(hotX));
    Word(out, static_cast<uint16_t>(hotY));
    Dword(out, imageBytes);
    Dword(out, 22);  // the image follows the directory

    Dword(out, 40);
    Dword(out, static_cast<uint32_t>(side));
    Dword(out, static_cast<uint32_t>(side * 2));  // colour rows and mask rows
    Word(out, 1);
    Word(out, 32);
    Dword(out, 0);
    Dword(out, colourBytes + maskBytes);
    for (int i = 0; i < 4; ++i) Dword(out, 0);

    for (int y = side - 1; y >= 0; --y)
        for (int x = 0; x < side; ++x) {
            QRgb p = image.pixel(x, y);
            out.append(static_cast<char>(qBlue(p)));
            out.append(static_cast<char>(qGreen(p)));
            out.append(static_cast<char>(qRed(p)));
            out.append(static_cast<char>(qAlpha(p)));
        }
    for (int y = side - 1; y >= 0; --y) {
        QByteArray row(maskStride, '\0');
        for (int x = 0; x < side; ++x)
            if (qAlpha(image.pixel(x, y)) < 128) row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
        out.append(row);
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: svg_to_cur PICTURE.svg OUT.cur HOTX HOTY\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QImageReader reader(QString::fromLocal8Bit(argv[1]));
    reader.setScaledSize(QSize(32, 32));
    QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
    if (image.isNull()) {
        std::fprintf(stderr, "svg_to_cur: cannot read %s: %s\n", argv[1], qPrintable(reader.errorString()));
        return 1;
    }
    QFile out(QString::fromLocal8Bit(argv[2]));
    if (!out.open(QIODevice::WriteOnly) || out.write(CursorFile(image, std::atoi(argv[3]), std::atoi(argv[4]))) < 0) {
        std::fprintf(stderr, "svg_to_cur: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
