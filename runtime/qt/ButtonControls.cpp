#include <QCheckBox>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <algorithm>
#include <functional>

#include "runtime/qt/ControlKinds.h"
#include "runtime/qt/DialogUnits.h"
#include "runtime/qt/FieldBinding.h"
#include "runtime/qt/Pictures.h"
#include "runtime/window/EventCodes.h"

namespace verdo {

namespace {

class ButtonControl final : public QtControl {
public:
    ButtonControl(const ControlDef& def, int number, ControlHost& host)
        : QtControl(def, number, host), button_(new QPushButton(DefText(def.Text), host.ControlParent())) {
        button_->setDefault(def.Default);
        QObject::connect(button_, &QPushButton::clicked, button_, [this] { Host().PostControlEvent(Event::Accepted, Number()); });
        Place(button_);
    }
    QWidget* Widget() const override { return button_; }
    void SetText(const QString& text) override { button_->setText(text); }

private:
    QPushButton* button_;
};

// A check box holds 1 when ticked and 0 when not.
class CheckControl final : public QtControl {
public:
    CheckControl(const ControlDef& def, int number, ControlHost& host)
        : QtControl(def, number, host), box_(new QCheckBox(DefText(def.Text), host.ControlParent())) {
        QObject::connect(box_, &QCheckBox::clicked, box_, [this] {
            Update();
            Host().PostControlEvent(Event::Accepted, Number());
        });
        Place(box_);
    }
    QWidget* Widget() const override { return box_; }
    void Display() override {
        if (!Def().Use.IsSet()) return;
        shown_ = FieldNumber(Def().Use) != 0;
        box_->setChecked(shown_);
    }
    bool Update() override {
        if (!Def().Use.IsSet() || box_->isChecked() == shown_) return false;
        shown_ = box_->isChecked();
        StoreFieldNumber(Def().Use, shown_ ? 1 : 0);
        return true;
    }
    void SetText(const QString& text) override { box_->setText(text); }

private:
    QCheckBox* box_;
    bool shown_ = false;
};

// A spin box counts from 0 to 65535 in steps of 1, whatever the width of its field.
class SpinControl final : public QtControl {
public:
    SpinControl(const ControlDef& def, int number, ControlHost& host)
        : QtControl(def, number, host), spin_(new QSpinBox(host.ControlParent())) {
        spin_->setRange(0, 65535);
        Place(spin_);
    }
    QWidget* Widget() const override { return spin_; }
    void Display() override {
        if (!Def().Use.IsSet()) return;
        shown_ = static_cast<int>(std::clamp<long long>(FieldNumber(Def().Use), 0, 65535));
        if (spin_->value() != shown_) spin_->setValue(shown_);
        held_.Take(Def().Use);
    }
    bool Update() override {
        if (!Def().Use.IsSet() || spin_->value() == shown_) return false;
        shown_ = spin_->value();
        StoreFieldNumber(Def().Use, shown_);
        held_.Take(Def().Use);
        return true;
    }
    bool KeepEdit() override { return held_.Holds(Def().Use) && Update(); }

private:
    QSpinBox* spin_;
    int shown_ = 0;
    FieldSnapshot held_;
};

// A toolbar button shows its message while the mouse rests on it.
class HoverToolButton final : public QToolButton {
public:
    using QToolButton::QToolButton;
    std::function<void(bool)> OnHover;

protected:
    void enterEvent(QEnterEvent* event) override {
        QToolButton::enterEvent(event);
        if (OnHover) OnHover(true);
    }
    void leaveEvent(QEvent* event) override {
        QToolButton::leaveEvent(event);
        if (OnHover) OnHover(false);
    }
};

class ToolButtonControl final : public QtControl {
public:
    ToolButtonControl(const ControlDef& def, int number, ControlHost& host)
        : QtControl(def, number, host),
          button_(new HoverToolButton(host.ToolbarArea() ? host.ToolbarArea() : host.ControlParent())) {
        QIcon icon = LoadIcon(def.Picture);
        if (icon.isNull()) {
            button_->setText(DefText(def.Text));
        } else {
            button_->setIcon(icon);
        }
        button_->setAutoRaise(true);
        button_->setFocusPolicy(Qt::NoFocus);
        // A picture says nothing to an assistive tool; the tip does.
        button_->setAccessibleName(DefText(def.Tip.empty() ? def.Text : def.Tip));
        button_->OnHover = [this](bool inside) { Host().ShowMessage(inside ? Def().Message : std::string()); };
        QObject::connect(button_, &QToolButton::clicked, button_, [this] { Host().PostControlEvent(Event::Accepted, Number()); });
        Place(button_);
        int side = std::max(8, std::min(button_->width(), button_->height()) - 4);
        button_->setIconSize(QSize(side, side));
    }
    QWidget* Widget() const override { return button_; }
    void SetText(const QString& text) override {
        if (button_->icon().isNull()) button_->setText(text);
    }

private:
    HoverToolButton* button_;
};

}  // namespace

std::unique_ptr<QtControl> MakeButton(const ControlDef& def, int number, ControlHost& host) {
    return std::make_unique<ButtonControl>(def, number, host);
}

std::unique_ptr<QtControl> MakeCheck(const ControlDef& def, int number, ControlHost& host) {
    return std::make_unique<CheckControl>(def, number, host);
}

std::unique_ptr<QtControl> MakeSpin(const ControlDef& def, int number, ControlHost& host) {
    return std::make_unique<SpinControl>(def, number, host);
}

std::unique_ptr<QtControl> MakeToolButton(const ControlDef& def, int number, ControlHost& host) {
    return std::make_unique<ToolButtonControl>(def, number, host);
}

}  // namespace verdo
