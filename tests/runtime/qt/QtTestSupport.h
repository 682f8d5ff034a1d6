#pragma once
#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "runtime/qt/QtWindow.h"
#include "runtime/qt/QtWindowSystem.h"
#include "runtime/window/EventCodes.h"

namespace verdo::test {

// Spins the GUI thread's events until the condition holds; false when it never did.
// The limit only keeps a broken test from hanging.
inline bool SpinUntil(const std::function<bool()>& condition, int limitMs = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > limitMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// Lets everything already queued run.
inline void Drain() {
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// Records every event; the answer to an event comes from Answer when it is set.
class RecordingHandler : public WindowEventHandler {
public:
    std::vector<WindowEvent> Events;
    std::function<int(const WindowEvent&)> Answer;

    int OnEvent(const WindowEvent& event) override {
        Events.push_back(event);
        return Answer ? Answer(event) : 0;
    }
    int Count(int code) const {
        int n = 0;
        for (const WindowEvent& e : Events) n += e.Code == code;
        return n;
    }
    bool Has(int code, int control) const {
        for (const WindowEvent& e : Events)
            if (e.Code == code && e.Control == control) return true;
        return false;
    }
    // The events of the given codes, in the order they came.
    std::vector<int> Codes(const std::vector<int>& wanted) const {
        std::vector<int> codes;
        for (const WindowEvent& e : Events)
            for (int w : wanted)
                if (e.Code == w) codes.push_back(e.Code);
        return codes;
    }
};

inline QtWindow& AsQt(Window& window) { return dynamic_cast<QtWindow&>(window); }

template <typename T = QWidget>
T* Find(Window& window, const char* name) {
    QWidget* root = AsQt(window).RootWidget();
    if (!root) return nullptr;
    if (root->objectName() == QLatin1String(name)) return qobject_cast<T*>(root);
    return root->findChild<T*>(QLatin1String(name));
}

inline ControlDef Control(const std::string& name, ControlKind kind, int x, int y, int width = 0, int height = 0) {
    ControlDef def;
    def.Name = name;
    def.Kind = kind;
    def.X = x;
    def.Y = y;
    def.Width = width;
    def.Height = height;
    return def;
}

}  // namespace verdo::test
