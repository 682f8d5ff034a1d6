#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <vector>

#include "runtime/qt/ControlKinds.h"
#include "runtime/window/EventCodes.h"

namespace verdo {

namespace {

const std::string kWindowMenu = "?WINDOWMENU";

// A menu title's message stays only while the mouse is on the menu bar or its menu is
// open: merely crossing the bar leaves nothing behind, and neither does the title the
// bar keeps highlighted after a menu was closed from the keyboard.
class MenuBarWatch final : public QObject {
public:
    MenuBarWatch(QMenuBar* bar, ControlHost& host) : QObject(bar), host_(host) { bar->installEventFilter(this); }
    static bool Pointed(const QMenuBar* bar) { return bar && bar->property(kPointed).toBool(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* bar = qobject_cast<QMenuBar*>(watched);
        if (!bar) return false;
        if (event->type() == QEvent::Enter) bar->setProperty(kPointed, true);
        if (event->type() == QEvent::Leave) {
            bar->setProperty(kPointed, false);
            if (!bar->activeAction()) host_.ShowMessage({});
        }
        return false;
    }

private:
    static constexpr const char* kPointed = "verdoPointed";
    ControlHost& host_;
};

// A menu of the menu bar, a submenu of another menu, or a pop-up menu of a window
// without a menu bar. The window menu also lists the open child windows.
class MenuControl final : public QtControl {
public:
    MenuControl(const ControlDef& def, int number, ControlHost& host) : QtControl(def, number, host) {
        auto* parentMenu = dynamic_cast<MenuControl*>(host.FindControl(def.Parent));
        QMenuBar* bar = host.MenuBar();
        menu_ = new QMenu(DefText(def.Text), parentMenu ? static_cast<QWidget*>(parentMenu->Menu()) : host.ControlParent());
        menu_->setObjectName(QString::fromStdString(def.Name));
        if (parentMenu) {
            parentMenu->Menu()->addMenu(menu_);
        } else if (bar) {
            bar->addMenu(menu_);
        }
        // The bar highlights a title from the mouse and from the keyboard alike; only the
        // mouse on it, or the menu open, is the user looking at that menu.
        QObject::connect(menu_->menuAction(), &QAction::hovered, menu_, [this, bar, parentMenu] {
            if (parentMenu || menu_->isVisible() || MenuBarWatch::Pointed(bar)) Host().ShowMessage(Def().Message);
        });
        QObject::connect(menu_, &QMenu::aboutToHide, menu_, [this] { Host().ShowMessage({}); });
        if (def.Name == kWindowMenu)
            QObject::connect(menu_, &QMenu::aboutToShow, menu_, [this] { ListChildWindows(); });
    }
    QMenu* Menu() const { return menu_; }
    void SetText(const QString& text) override { menu_->setTitle(text); }
    void SetEnabled(bool enabled) override { menu_->menuAction()->setEnabled(enabled); }
    void SetShown(bool shown) override { menu_->menuAction()->setVisible(shown); }
    void Focus() override {}

private:
    void ListChildWindows() {
        windowEntries_.clear();
        QMdiArea* area = Host().MdiArea();
        if (!area) return;
        const QList<QMdiSubWindow*> windows = area->subWindowList();
        int shown = 0;
        for (QMdiSubWindow* window : windows) {
            if (window->isHidden() && !window->isMinimized()) continue;
            if (shown == 0) {
                windowEntries_.push_back(std::make_unique<QAction>());
                windowEntries_.back()->setSeparator(true);
                menu_->addAction(windowEntries_.back().get());
            }
            ++shown;
            QString title = window->windowTitle();
            title.replace(QLatin1Char('&'), QStringLiteral("&&"));
            auto entry = std::make_unique<QAction>(QStringLiteral("&%1 %2").arg(shown).arg(title));
            entry->setCheckable(true);
            entry->setChecked(window == area->activeSubWindow());
            QPointer<QMdiSubWindow> target = window;
            QObject::connect(entry.get(), &QAction::triggered, area, [area, target] {
                if (!target) return;
                if (target->isMinimized()) target->showNormal();
                area->setActiveSubWindow(target);
            });
            menu_->addAction(entry.get());
            windowEntries_.push_back(std::move(entry));
        }
    }

    QMenu* menu_ = nullptr;
    std::vector<std::unique_ptr<QAction>> windowEntries_;
};

QWidget* MenuOf(const ControlDef& def, ControlHost& host) {
    if (auto* parent = dynamic_cast<MenuControl*>(host.FindControl(def.Parent))) return parent->Menu();
    if (host.MenuBar()) return host.MenuBar();
    return nullptr;
}

// A menu item; its text is the action's, its message shows while it is highlighted.
class MenuItemControl final : public QtControl {
public:
    MenuItemControl(const ControlDef& def, int number, ControlHost& host) : QtControl(def, number, host) {
        action_ = new QAction(DefText(def.Text), host.ControlParent());
        action_->setObjectName(QString::fromStdString(def.Name));
        if (!def.Tip.empty()) action_->setToolTip(DefText(def.Tip));
        if (QWidget* menu = MenuOf(def, host)) menu->addAction(action_);
        QObject::connect(action_, &QAction::triggered, action_, [this] { Host().PostControlEvent(Event::Accepted, Number()); });
        QObject::connect(action_, &QAction::hovered, action_, [this] { Host().ShowMessage(Def().Message); });
    }
    void SetText(const QString& text) override { action_->setText(text); }
    void SetEnabled(bool enabled) override { action_->setEnabled(enabled); }
    void SetShown(bool shown) override { action_->setVisible(shown); }
    void Focus() override {}

private:
    QAction* action_ = nullptr;  // owned by the window's client
};

class SeparatorControl final : public QtControl {
public:
    SeparatorControl(const ControlDef& def, int number, ControlHost& host) : QtControl(def, number, host) {
        action_ = new QAction(host.ControlParent());
        action_->setSeparator(true);
        action_->setObjectName(QString::fromStdString(def.Name));
        if (QWidget* menu = MenuOf(def, host)) menu->addAction(action_);
    }
    void SetShown(bool shown) override { action_->setVisible(shown); }
    void SetEnabled(bool) override {}
    void Focus() override {}

private:
    QAction* action_ = nullptr;
};

}  // namespace

void WatchMenuBarLeave(QMenuBar* bar, ControlHost& host) { new MenuBarWatch(bar, host); }

std::unique_ptr<QtControl> MakeMenu(const ControlDef& def, int number, ControlHost& host) {
    return std::make_unique<MenuControl>(def, number, host);
}

std::unique_ptr<QtControl> MakeMenuItem(const ControlDef& def, int number, ControlHost& host) {
    return std::make_unique<MenuItemControl>(def, number, host);
}

std::unique_ptr<QtControl> MakeSeparator(const ControlDef& def, int number, ControlHost& host) {
    return std::make_unique<SeparatorControl>(def, number, host);
}

}  // namespace verdo
