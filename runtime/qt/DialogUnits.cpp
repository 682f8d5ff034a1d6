#include "runtime/qt/DialogUnits.h"

#include <QFontMetrics>
#include <cmath>

namespace verdo {

QFont WindowFont(const std::string& face, int points) {
    QFont font;
    if (face.empty() || face == "MS Sans Serif") {
        font.setFamily(QStringLiteral("Sans Serif"));
    } else {
        font.setFamily(QString::fromStdString(face));
    }
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(points > 0 ? points : 8);
    return font;
}

DialogUnits::DialogUnits(const QFont& font) {
    QFontMetrics metrics(font);
    // The average width is taken over the letters, rounded to the nearest pixel, the
    // way dialog base units have always been measured.
    int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    baseX_ = std::max(1, (letters / 26 + 1) / 2);
    baseY_ = std::max(1, metrics.height());
}

int DialogUnits::ToPixelsX(int units) const { return static_cast<int>(std::lround(units * baseX_ / 4.0)); }
int DialogUnits::ToPixelsY(int units) const { return static_cast<int>(std::lround(units * baseY_ / 8.0)); }
int DialogUnits::FromPixelsX(int pixels) const { return static_cast<int>(std::lround(pixels * 4.0 / baseX_)); }
int DialogUnits::FromPixelsY(int pixels) const { return static_cast<int>(std::lround(pixels * 8.0 / baseY_)); }

QRect DialogUnits::ToPixels(int x, int y, int width, int height) const {
    return QRect(ToPixelsX(x), ToPixelsY(y), ToPixelsX(width), ToPixelsY(height));
}

}  // namespace verdo
