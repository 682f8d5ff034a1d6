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
    bool fromFrame = Frame() != nullptr;
    QMetaObject::invokeMethod(
        &context_,
        [this, fromFrame, procedure = std::move(procedure)] {
            // A procedure whose turn comes after the application began to close, or after
            // the frame that started it has gone, would open a window nobody closes.
            if (closingDown_ || framesClosing_ || (fromFrame && !Frame())) return;
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

void QtWindowSystem::Register(QtWindow& window) {
    windows_.push_back(&window);
    // A new frame is a new start: what it starts may open again.
    if (window.IsFrame()) framesClosing_ = false;
}

void QtWindowSystem::Unregister(QtWindow& window) {
    windows_.erase(std::remove(windows_.begin(), windows_.end(), &window), windows_.end());
    if (closingFrame_ == &window) closingFrame_ = nullptr;
    if (asked_ == &window) asked_ = nullptr;
    ContinueCloseDown();
}

void QtWindowSystem::WindowClosed(QtWindow&) { ContinueCloseDown(); }

bool QtWindowSystem::OthersOpen() const {
    return std::any_of(windows_.begin(), windows_.end(), [](QtWindow* w) { return !w->IsFrame() && w->IsOpen(); });
}

void QtWindowSystem::CloseDown() {
    closingDown_ = true;
    asked_ = nullptr;
    ContinueCloseDown();
}

void QtWindowSystem::CloseFrame(QtWindow& frame) {
    closingFrame_ = &frame;
    CloseDown();
}

void QtWindowSystem::CloseDownRefused() {
    asked_ = nullptr;
    closingDown_ = false;
    framesClosing_ = false;
    closingFrame_ = nullptr;
}

void QtWindowSystem::SettleFocus() {
    for (QtWindow* window : windows_) window->SettleFocused();
}

void QtWindowSystem::ContinueCloseDown() {
    if (!closingDown_) return;
    // One window at a time, the newest first (it was opened from the older ones): a
    // window that refuses stops the close-down before any other was asked.
    if (asked_ && asked_->IsOpen()) return;
    asked_ = nullptr;
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
        if ((*it)->IsFrame() || !(*it)->IsOpen()) continue;
        asked_ = *it;
        SettleFocus();
        asked_->PostEvent(Event::CloseDown);
        return;
    }
    closingDown_ = false;
    if (QtWindow* frame = std::exchange(closingFrame_, nullptr)) {
        framesClosing_ = true;
        frame->CloseNow();
        return;
    }
    std::vector<QtWindow*> frames;
    for (QtWindow* window : windows_)
        if (window->IsFrame() && window->IsOpen()) frames.push_back(window);
    framesClosing_ = !frames.empty();
    for (QtWindow* frame : frames) frame->PostEvent(Event::CloseDown);
}

}  // namespace verdo
