#include "runtime/qt/Pictures.h"

#include <QDir>
#include <QFile>
#include <QImageReader>

namespace verdo {

namespace {

const QString kFolder = QStringLiteral(":/pictures/");

// A cursor file keeps its hot spot where an icon file keeps planes and bit count:
// bytes 10 to 13, two little-endian words, in the first directory entry.
bool ReadHotSpot(const QString& path, int& x, int& y) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    QByteArray head = file.read(14);
    if (head.size() < 14) return false;
    auto word = [&](int at) { return static_cast<unsigned char>(head[at]) | (static_cast<unsigned char>(head[at + 1]) << 8); };
    if (word(0) != 0 || word(2) != 2 || word(4) < 1) return false;
    x = word(10);
    y = word(12);
    return true;
}

}  // namespace

QString PicturePath(const std::string& name) {
    if (name.empty()) return {};
    QString wanted = QString::fromStdString(name);
    if (QFile::exists(kFolder + wanted)) return kFolder + wanted;
    const QStringList entries = QDir(kFolder).entryList(QDir::Files);
    for (const QString& entry : entries)
        if (entry.compare(wanted, Qt::CaseInsensitive) == 0) return kFolder + entry;
    return {};
}

QPixmap LoadPicture(const std::string& name, QSize size) {
    QString path = PicturePath(name);
    if (path.isEmpty()) return {};
    if (path.endsWith(QStringLiteral(".ico"), Qt::CaseInsensitive)) {
        // An icon file holds several sizes; a picture shows the standard 32 x 32 one.
        QIcon icon(path);
        if (!icon.availableSizes().isEmpty()) return icon.pixmap(size.isValid() ? size : QSize(32, 32));
    }
    QImageReader reader(path);
    if (size.isValid()) reader.setScaledSize(size);
    return QPixmap::fromImage(reader.read());
}

QIcon LoadIcon(const std::string& name) {
    QString path = PicturePath(name);
    return path.isEmpty() ? QIcon() : QIcon(path);
}

QCursor LoadCursor(const std::string& name, Qt::CursorShape fallback) {
    QString path = PicturePath(name);
    QPixmap pixmap = path.isEmpty() ? QPixmap() : QPixmap(path);
    if (pixmap.isNull()) return QCursor(fallback);
    int x = -1, y = -1;
    if (!ReadHotSpot(path, x, y) || x >= pixmap.width() || y >= pixmap.height()) x = y = -1;
    return QCursor(pixmap, x, y);
}

}  // namespace verdo
