#include "runtime/qt/QtWindowSystem.h"

#include <QApplication>
#include <algorithm>

#include "runtime/LogicalThread.h"
#include "runtime/qt/QtShell.h"
#include "runtime/qt/QtWindow.h"
#include "runtime/window/EventCodes.h"

namespace verdo {

QtWindowSystem::QtWindowSystem() {
    // Windows come and go under the program's own control; the last one closing must
    // not end every event loop that is still spinning.
    QGuiApplication::setQuitOnLastWindowClosed(false);
}

QtWindowSystem::~QtWindowSystem() = default;

std::unique_ptr<Window> QtWindowSystem::CreateWindow(const WindowDef& definition) {
    return std::make_unique<QtWindow>(*this, definition);
}

void QtWindowSystem::StartThread(std::function<void()> procedure, int) {
    QMetaObject::invokeMethod(
        &context_,
        [procedure = std::move(procedure)] {
            ThreadScope scope(NewThreadNumber());
            procedure();
        },
        Qt::QueuedConnection);
}

void QtWindowSystem::ShellOpen(Window*, const std::string& target) { QtShellOpen(target); }

QtWindow* QtWindowSystem::Frame() const {
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it)
        if ((*it)->IsFrame() && !(*it)->IsClosed()) return *it;
    return nullptr;
}

void QtWindowSystem::Register(QtWindow& window) { windows_.push_back(&window); }

void QtWindowSystem::Unregister(QtWindow& window) {
    windows_.erase(std::remove(windows_.begin(), windows_.end(), &window), windows_.end());
    if (closingFrame_ == &window) closingFrame_ = nullptr;
    ContinueCloseDown();
}

void QtWindowSystem::WindowClosed(QtWindow&) { ContinueCloseDown(); }

bool QtWindowSystem::OthersOpen() const {
    return std::any_of(windows_.begin(), windows_.end(), [](QtWindow* w) { return !w->IsFrame() && w->IsOpen(); });
}

void QtWindowSystem::CloseDown() {
    closingDown_ = true;
    // The newest windows first: they were opened from the older ones.
    std::vector<QtWindow*> windows(windows_.rbegin(), windows_.rend());
    for (QtWindow* window : windows)
        if (!window->IsFrame() && window->IsOpen()) window->PostEvent(Event::CloseDown);
    ContinueCloseDown();
}

void QtWindowSystem::CloseFrame(QtWindow& frame) {
    closingFrame_ = &frame;
    CloseDown();
}

void QtWindowSystem::CloseDownRefused() {
    closingDown_ = false;
    closingFrame_ = nullptr;
}

void QtWindowSystem::ContinueCloseDown() {
    if (!closingDown_ || OthersOpen()) return;
    closingDown_ = false;
    if (QtWindow* frame = std::exchange(closingFrame_, nullptr)) {
        frame->CloseNow();
        return;
    }
    std::vector<QtWindow*> frames;
    for (QtWindow* window : windows_)
        if (window->IsFrame() && window->IsOpen()) frames.push_back(window);
    for (QtWindow* frame : frames) frame->PostEvent(Event::CloseDown);
}

}  // namespace verdo
