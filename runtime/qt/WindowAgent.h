#pragma once
#include <QApplication>
#include <QEvent>
#include <QTimer>

#include "runtime/qt/QtWindow.h"
#include "runtime/window/EventCodes.h"

namespace verdo {

// Watches what the user does to the window: keys, mouse keys, activation, the close
// box, focus moves and the window's timer.
class WindowAgent final : public QObject {
public:
    explicit WindowAgent(QtWindow& window) : window_(window) {
        QObject::connect(qApp, &QApplication::focusChanged, this,
                         [this](QWidget* from, QWidget* to) { window_.OnFocusChanged(from, to); });
        QObject::connect(&timer_, &QTimer::timeout, this, [this] {
            if (!window_.queue_.Contains(Event::Timer)) window_.PostEvent(Event::Timer);
        });
        qApp->installEventFilter(this);
    }
    ~WindowAgent() override { qApp->removeEventFilter(this); }
    QTimer& Timer() { return timer_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!watched->isWidgetType() || window_.closed_) return false;
        auto* widget = static_cast<QWidget*>(watched);
        switch (event->type()) {
            case QEvent::KeyPress: {
                // A key goes first to the focus widget and then up to its parents; it
                // is looked at once, where it starts.
                QWidget* focus = QApplication::focusWidget();
                if (focus ? widget != focus : widget != window_.root_) return false;
                return window_.Owns(widget) && window_.OnKeyPress(*static_cast<QKeyEvent*>(event));
            }
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
            case QEvent::MouseButtonRelease:
                return window_.Owns(widget) && window_.OnMousePress(widget, *static_cast<QMouseEvent*>(event));
            case QEvent::WindowActivate:
            case QEvent::WindowDeactivate:
                if (widget == window_.root_) window_.CheckActive();
                return false;
            case QEvent::Close:
                if (widget != window_.root_ || window_.allowClose_) return false;
                event->ignore();
                window_.OnCloseBox();
                return true;
            case QEvent::Move:
                if (widget == window_.root_) window_.NoteGeometry();
                return false;
            case QEvent::Resize:
                if (widget == window_.root_) {
                    window_.NoteGeometry();
                    window_.OnResized();
                }
                return false;
            default:
                return false;
        }
    }

private:
    QtWindow& window_;
    QTimer timer_;
};


}  // namespace verdo
