#pragma once
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <vector>

#include "runtime/window/WindowSystem.h"

namespace verdo::test {

// The visible top-level window with this object name (a window's procedure name).
inline QWidget* TopLevel(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String(name) && w->isVisible()) return w;
    return nullptr;
}

template <typename T = QWidget>
T* Child(const char* window, const char* name) {
    QWidget* top = TopLevel(window);
    return top ? top->findChild<T*>(QLatin1String(name)) : nullptr;
}

inline void Click(QWidget* widget, Qt::MouseButton button = Qt::LeftButton) {
    QPoint centre = widget->rect().center();
    QMouseEvent press(QEvent::MouseButtonPress, centre, widget->mapToGlobal(centre), button, button, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, centre, widget->mapToGlobal(centre), button, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
}

// The window becomes the active one again, as after a message box or a form closed.
inline void Reactivate(const char* name) {
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    QApplication::setActiveWindow(TopLevel(name));
}

// One step of a script: it waits until Ready holds, then Act runs.
struct Step {
    std::function<bool()> Ready;
    std::function<void()> Act;
};

// Runs a window procedure (which returns only when its window has closed) while a
// script drives it. Steps run from a timer, so that the windows' own loops go on
// between them; a step may open a modal window, whose loop keeps the script going. A
// step that never becomes ready fails the test and closes every window.
inline void RunScript(const std::function<void()>& procedure, std::vector<Step> steps, int limitMs = 10000) {
    size_t next = 0;
    QElapsedTimer clock;
    clock.start();
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (next >= steps.size()) return;
        if (clock.elapsed() > limitMs) {
            ADD_FAILURE() << "step " << next << " never became ready";
            next = steps.size();
            if (WindowSystem* windows = CurrentWindowSystem()) windows->CloseDown();
            return;
        }
        if (!steps[next].Ready()) return;
        Step step = steps[next++];
        clock.restart();
        step.Act();
    });
    timer.start(10);
    procedure();
    EXPECT_EQ(next, steps.size()) << "the window closed before the script ended";
}

inline bool Always() { return true; }

}  // namespace verdo::test
