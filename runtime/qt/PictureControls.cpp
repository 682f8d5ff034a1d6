#include <QLabel>
#include <QMouseEvent>
#include <functional>

#include "runtime/qt/ControlKinds.h"
#include "runtime/qt/DialogUnits.h"
#include "runtime/qt/Pictures.h"
#include "runtime/window/EventCodes.h"

namespace verdo {

namespace {

// A picture at its natural size, or stretched over the size the definition gives.
class ImageControl final : public QtControl {
public:
    ImageControl(const ControlDef& def, int number, ControlHost& host)
        : QtControl(def, number, host), label_(new QLabel(host.ControlParent())) {
        label_->setScaledContents(def.Width > 0 && def.Height > 0);
        label_->setPixmap(LoadPicture(def.Picture, PictureSize()));
        Place(label_);
    }
    QWidget* Widget() const override { return label_; }
    // The text of a picture control is the name of the picture it shows.
    void SetText(const QString& text) override { label_->setPixmap(LoadPicture(text.toStdString(), PictureSize())); }

private:
    QSize PictureSize() const {
        const ControlDef& def = Def();
        if (def.Width <= 0 || def.Height <= 0) return {};
        return Host().Units().ToPixels(0, 0, def.Width, def.Height).size();
    }

    QLabel* label_;
};

// An invisible area that takes clicks: released over itself, a press is a click.
class ClickArea final : public QWidget {
public:
    using QWidget::QWidget;
    std::function<void()> OnClick;

protected:
    void mousePressEvent(QMouseEvent* event) override { event->accept(); }
    void mouseReleaseEvent(QMouseEvent* event) override {
        event->accept();
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && OnClick) OnClick();
    }
};

class RegionControl final : public QtControl {
public:
    RegionControl(const ControlDef& def, int number, ControlHost& host)
        : QtControl(def, number, host), area_(new ClickArea(host.ControlParent())) {
        area_->setFocusPolicy(Qt::NoFocus);
        if (!def.Cursor.empty()) area_->setCursor(LoadCursor(def.Cursor, Qt::PointingHandCursor));
        area_->OnClick = [this] { Host().PostControlEvent(Event::Accepted, Number()); };
        Place(area_);
    }
    QWidget* Widget() const override { return area_; }
    int Layer() const override { return 3; }

private:
    ClickArea* area_;
};

}  // namespace

std::unique_ptr<QtControl> MakeImage(const ControlDef& def, int number, ControlHost& host) {
    return std::make_unique<ImageControl>(def, number, host);
}

std::unique_ptr<QtControl> MakeRegion(const ControlDef& def, int number, ControlHost& host) {
    return std::make_unique<RegionControl>(def, number, host);
}

}  // namespace verdo
