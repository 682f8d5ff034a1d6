#include "runtime/qt/StatusZones.h"

#include <QLabel>
#include <QStatusBar>

#include "runtime/qt/DialogUnits.h"

namespace verdo {

StatusZones::StatusZones(QStatusBar* bar, const std::vector<int>& widths, const DialogUnits& units) {
    bar->setSizeGripEnabled(false);
    for (size_t i = 0; i < widths.size(); ++i) {
        auto* label = new QLabel(bar);
        label->setObjectName(QStringLiteral("StatusZone%1").arg(i + 1));
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        if (widths[i] < 0) {
            label->setMinimumWidth(0);
            bar->addWidget(label, 1);
        } else {
            label->setFixedWidth(units.ToPixelsX(widths[i]));
            bar->addWidget(label, 0);
        }
        labels_.push_back(label);
    }
}

void StatusZones::SetText(int zone, const QString& text) {
    if (zone < 1 || zone > Count()) return;
    if (zone == 1) {
        base_ = text;
        RefreshFirst();
    } else {
        labels_[zone - 1]->setText(text);
    }
}

QString StatusZones::Text(int zone) const {
    if (zone < 1 || zone > Count()) return {};
    return labels_[zone - 1]->text();
}

void StatusZones::ShowTransient(const QString& message) {
    transient_ = message;
    RefreshFirst();
}

void StatusZones::SetFocusMessage(const QString& message) {
    focus_ = message;
    RefreshFirst();
}

void StatusZones::RefreshFirst() {
    if (labels_.empty()) return;
    const QString& shown = !transient_.isEmpty() ? transient_ : !focus_.isEmpty() ? focus_ : base_;
    labels_.front()->setText(shown);
}

}  // namespace verdo
