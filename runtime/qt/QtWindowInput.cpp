#include "runtime/qt/QtWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <algorithm>

#include "runtime/qt/KeyCodes.h"
#include "runtime/qt/QtWindowSystem.h"
#include "runtime/qt/StatusZones.h"
#include "runtime/window/EventCodes.h"

namespace verdo {

void QtWindow::PressKeys(const std::vector<int>& keys) {
    for (int code : keys) {
        int virtualKey = code & 0xFF;
        Qt::KeyboardModifiers modifiers;
        if (code & Key::ShiftFlag) modifiers |= Qt::ShiftModifier;
        if (code & Key::CtrlFlag) modifiers |= Qt::ControlModifier;
        if (code & Key::AltFlag) modifiers |= Qt::AltModifier;
        int key = QtKey(virtualKey);
        if (key == 0) continue;
        QString text = virtualKey == 0x20 && modifiers == Qt::NoModifier ? QStringLiteral(" ") : QString();
        QPointer<QWidget> root = root_;
        QMetaObject::invokeMethod(qApp, [root, key, modifiers, text] {
            QWidget* target = QApplication::focusWidget();
            if (!root || !target) return;
            QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
            QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
            QApplication::sendEvent(target, &press);
            QApplication::sendEvent(target, &release);
        }, Qt::QueuedConnection);
    }
}

void QtWindow::OnFocusChanged(QWidget* from, QWidget* to) {
    if (closed_ || !opened_) return;
    CheckActive();
    int left = ControlOf(from);
    int entered = ControlOf(to);
    if (left == entered) return;
    if (left != 0 && ControlAt(left)->Update()) PostEvent(Event::Accepted, left);
    if (entered != 0) {
        PostEvent(Event::Selected, entered);
        if (StatusZones* zones = StatusTarget()) zones->SetFocusMessage(QString::fromStdString(ControlAt(entered)->Def().Message));
    } else if (Owns(to) && left != 0) {
        if (StatusZones* zones = StatusTarget()) zones->SetFocusMessage({});
    }
}

bool QtWindow::OnKeyPress(QKeyEvent& event) {
    const int focused = FocusedControl();
    if (QtControl* control = ControlAt(focused)) {
        QtControl::KeyUse use = control->KeyPressed(event);
        if (use == QtControl::KeyTaken) return true;
        if (use == QtControl::KeyToWidget) return false;
    }
    if ((event.key() == Qt::Key_Tab || event.key() == Qt::Key_Backtab) && (event.modifiers() & Qt::ControlModifier) &&
        TurnTab(event.key() == Qt::Key_Backtab || (event.modifiers() & Qt::ShiftModifier)))
        return true;
    int code = KeyCode(event);
    if (code != 0) {
        int control = alerts_.count({focused, code}) && focused != 0 ? focused : alerts_.count({0, code}) ? 0 : -1;
        if (control >= 0) {
            PostEvent(Event::AlertKey, control, code);
            return true;
        }
    }
    if (event.key() == Qt::Key_Escape && event.modifiers() == Qt::NoModifier) {
        if (def_.Kind == WindowKind::Frame) return false;
        OnCloseBox();
        return true;
    }
    bool enter = event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
    if (enter && !qobject_cast<QDialog*>(root_.data())) {
        // Outside a dialog, Enter presses the focused button or else the default one.
        QWidget* focus = QApplication::focusWidget();
        if (qobject_cast<QPlainTextEdit*>(focus)) return false;
        if (auto* button = qobject_cast<QAbstractButton*>(focus)) {
            button->click();
            return true;
        }
        for (const auto& control : controls_) {
            auto* button = qobject_cast<QPushButton*>(control->Widget());
            if (button && button->isDefault() && button->isEnabled() && button->isVisible()) {
                button->click();
                return true;
            }
        }
    }
    return false;
}

bool QtWindow::OnMousePress(QWidget* target, QMouseEvent& event) {
    int code = MouseKeyCode(event);
    if (code == 0) return false;
    int under = ControlOf(target);
    int control = under != 0 && alerts_.count({under, code}) ? under : alerts_.count({0, code}) ? 0 : -1;
    if (control < 0) return false;
    PostEvent(Event::AlertKey, control, code);
    return true;
}

bool QtWindow::TurnTab(bool back) {
    for (const auto& sheet : controls_) {
        if (sheet->Def().Kind != ControlKind::Sheet || !IsShown(*sheet)) continue;
        std::vector<QtControl*> tabs;
        for (const auto& c : controls_)
            if (c->Def().Kind == ControlKind::Tab && c->Def().Parent == sheet->Def().Name && IsShown(*c)) tabs.push_back(c.get());
        if (tabs.empty()) return false;
        auto current = std::find_if(tabs.begin(), tabs.end(), [](QtControl* t) { return t->ChildrenShown(); });
        size_t at = current == tabs.end() ? 0 : static_cast<size_t>(current - tabs.begin());
        QtControl* next = tabs[(at + (back ? tabs.size() - 1 : 1)) % tabs.size()];
        next->Focus();
        // The focus goes to the first control on the tab that takes it.
        for (const auto& c : controls_) {
            if (c->Def().Parent != next->Def().Name) continue;
            Select(c->Number());
            break;
        }
        return true;
    }
    return false;
}

void QtWindow::OnCloseBox() {
    if (!opened_ || queue_.Contains(Event::CloseWindow)) return;
    system_.SettleFocus();
    PostEvent(Event::CloseWindow);
}

void QtWindow::CheckActive() {
    bool now = false;
    if (root_ && !closed_ && root_->isVisible()) {
        auto* sub = qobject_cast<QMdiSubWindow*>(root_.data());
        now = root_->isActiveWindow() && (!sub || (sub->mdiArea() && sub->mdiArea()->activeSubWindow() == sub));
    }
    if (now == active_) return;
    active_ = now;
    if (opened_) PostEvent(now ? Event::GainFocus : Event::LoseFocus);
}

}  // namespace verdo
