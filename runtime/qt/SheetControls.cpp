#include <QFrame>
#include <QGroupBox>
#include <QTabWidget>

#include "runtime/qt/ControlKinds.h"
#include "runtime/window/EventCodes.h"

namespace verdo {

namespace {

// The tab sheet draws the tabs and the frame; the controls of its tabs lie on the
// window above it and are shown only while their tab is the current one.
class SheetControl final : public QtControl {
public:
    SheetControl(const ControlDef& def, int number, ControlHost& host)
        : QtControl(def, number, host), tabs_(new QTabWidget(host.ControlParent())) {
        Place(tabs_);
        QObject::connect(tabs_, &QTabWidget::currentChanged, tabs_, [this] {
            Host().ChildrenVisibilityChanged();
            Host().PostControlEvent(Event::NewSelection, Number());
        });
    }
    QWidget* Widget() const override { return tabs_; }
    int Layer() const override { return 0; }
    int Choice() const override { return tabs_->currentIndex() + 1; }
    void SetChoice(int choice) override {
        if (choice >= 1 && choice <= tabs_->count()) tabs_->setCurrentIndex(choice - 1);
    }
    QTabWidget* Tabs() const { return tabs_; }

private:
    QTabWidget* tabs_;
};

class TabControl final : public QtControl {
public:
    TabControl(const ControlDef& def, int number, ControlHost& host) : QtControl(def, number, host) {
        sheet_ = dynamic_cast<SheetControl*>(host.FindControl(def.Parent));
        if (!sheet_) return;
        page_ = new QWidget;
        page_->setObjectName(QString::fromStdString(def.Name));
        sheet_->Tabs()->addTab(page_, DefText(def.Text));
        if (!def.Tip.empty()) sheet_->Tabs()->setTabToolTip(Index(), DefText(def.Tip));
    }
    void SetText(const QString& text) override {
        if (page_) sheet_->Tabs()->setTabText(Index(), text);
    }
    void SetEnabled(bool enabled) override {
        if (page_) sheet_->Tabs()->setTabEnabled(Index(), enabled);
    }
    void SetShown(bool shown) override {
        if (page_) sheet_->Tabs()->setTabVisible(Index(), shown);
    }
    void Focus() override {
        if (page_) sheet_->Tabs()->setCurrentWidget(page_);
    }
    bool ChildrenShown() const override { return page_ && sheet_->Tabs()->currentWidget() == page_; }

private:
    int Index() const { return sheet_->Tabs()->indexOf(page_); }

    SheetControl* sheet_ = nullptr;
    QWidget* page_ = nullptr;  // owned by the sheet
};

// A framed group, or a separator line when the definition makes it one unit thin.
class GroupControl final : public QtControl {
public:
    GroupControl(const ControlDef& def, int number, ControlHost& host) : QtControl(def, number, host) {
        bool line = def.Text.empty() && ((def.Height > 0 && def.Height <= 2) || (def.Width > 0 && def.Width <= 2));
        if (line) {
            auto* frame = new QFrame(host.ControlParent());
            frame->setFrameShape(def.Height > 0 && def.Height <= 2 ? QFrame::HLine : QFrame::VLine);
            frame->setFrameShadow(QFrame::Sunken);
            widget_ = frame;
        } else {
            box_ = new QGroupBox(DefText(def.Text), host.ControlParent());
            widget_ = box_;
        }
        widget_->setFocusPolicy(Qt::NoFocus);
        Place(widget_);
    }
    QWidget* Widget() const override { return widget_; }
    int Layer() const override { return 1; }
    void SetText(const QString& text) override {
        if (box_) box_->setTitle(text);
    }

private:
    QWidget* widget_ = nullptr;
    QGroupBox* box_ = nullptr;
};

}  // namespace

std::unique_ptr<QtControl> MakeSheet(const ControlDef& def, int number, ControlHost& host) {
    return std::make_unique<SheetControl>(def, number, host);
}

std::unique_ptr<QtControl> MakeTab(const ControlDef& def, int number, ControlHost& host) {
    return std::make_unique<TabControl>(def, number, host);
}

std::unique_ptr<QtControl> MakeGroup(const ControlDef& def, int number, ControlHost& host) {
    return std::make_unique<GroupControl>(def, number, host);
}

}  // namespace verdo
