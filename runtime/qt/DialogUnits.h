#pragma once
#include <QFont>
#include <QRect>
#include <string>

namespace verdo {

// The font a window definition names; the classic dialog face becomes the platform's
// sans-serif at the same size.
QFont WindowFont(const std::string& face, int points);

// Converts between dialog units and pixels for one window font: a horizontal unit is
// a quarter of the average character width, a vertical unit an eighth of the
// character height.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    int BaseX() const { return baseX_; }
    int BaseY() const { return baseY_; }

    int ToPixelsX(int units) const;
    int ToPixelsY(int units) const;
    int FromPixelsX(int pixels) const;
    int FromPixelsY(int pixels) const;
    QRect ToPixels(int x, int y, int width, int height) const;

private:
    int baseX_;
    int baseY_;
};

}  // namespace verdo
