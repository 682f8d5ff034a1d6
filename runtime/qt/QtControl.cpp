#include "runtime/qt/QtControl.h"

#include <QPalette>
#include <QWidget>

#include "runtime/qt/DialogUnits.h"
#include "runtime/window/EventCodes.h"

namespace verdo {

QString DefText(const std::string& text) { return QString::fromStdString(text); }

QtControl::QtControl(const ControlDef& def, int number, ControlHost& host) : def_(def), number_(number), host_(host) {}

void QtControl::Settle() {
    if (Update()) host_.PostControlEvent(Event::Accepted, number_);
}

void QtControl::SetEnabled(bool enabled) {
    if (QWidget* widget = Widget()) widget->setEnabled(enabled);
}

bool QtControl::IsEnabled() const {
    QWidget* widget = Widget();
    return !widget || widget->isEnabled();
}

void QtControl::SetShown(bool shown) {
    if (QWidget* widget = Widget()) widget->setVisible(shown);
}

void QtControl::Focus() {
    if (QWidget* widget = Widget()) widget->setFocus(Qt::OtherFocusReason);
}

void QtControl::Place(QWidget* widget) const {
    widget->setObjectName(QString::fromStdString(def_.Name));
    if (!def_.Tip.empty()) widget->setToolTip(DefText(def_.Tip));
    if (def_.Color != 0) {
        QPalette palette = widget->palette();
        QColor color(static_cast<QRgb>(def_.Color));
        palette.setColor(QPalette::WindowText, color);
        palette.setColor(QPalette::Text, color);
        palette.setColor(QPalette::ButtonText, color);
        widget->setPalette(palette);
    }
    if (!def_.Font.empty()) {
        QFont font = widget->font();
        if (def_.Font.find("underline") != std::string::npos) font.setUnderline(true);
        if (def_.Font.find("bold") != std::string::npos) font.setBold(true);
        if (def_.Font.find("italic") != std::string::npos) font.setItalic(true);
        widget->setFont(font);
    }
    const DialogUnits& units = host_.Units();
    QSize natural = widget->sizeHint();
    int width = def_.Width > 0 ? units.ToPixelsX(def_.Width) : natural.width();
    int height = def_.Height > 0 ? units.ToPixelsY(def_.Height) : natural.height();
    widget->setGeometry(units.ToPixelsX(def_.X), units.ToPixelsY(def_.Y), std::max(width, 0), std::max(height, 0));
}

}  // namespace verdo
