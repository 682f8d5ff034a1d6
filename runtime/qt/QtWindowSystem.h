#pragma once
#include <QObject>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "runtime/window/WindowSystem.h"

namespace verdo {

class QtWindow;

// The window library on Qt Widgets. Needs a QApplication; the interactive program
// creates one object of it and installs it with SetWindowSystem.
class QtWindowSystem final : public WindowSystem {
public:
    QtWindowSystem();
    ~QtWindowSystem() override;
    QtWindowSystem(const QtWindowSystem&) = delete;
    QtWindowSystem& operator=(const QtWindowSystem&) = delete;

    std::unique_ptr<Window> CreateWindow(const WindowDef& definition) override;
    // Queues the procedure on the GUI thread, to run under a thread number of its own.
    void StartThread(std::function<void()> procedure, int stackSize) override;
    void ShellOpen(Window* owner, const std::string& target) override;
    // Every open window but the frames is sent the close-down event, one after the other
    // from the newest; the frames follow once all the others have closed. A window that
    // refuses ends the close-down.
    void CloseDown() override;

    // The open frame, nullptr when there is none.
    QtWindow* Frame() const;

    // Called by the windows.
    void Register(QtWindow& window);
    void Unregister(QtWindow& window);
    void WindowClosed(QtWindow& window);
    // The frame's handler agreed to close: its child windows are closed down first,
    // and the frame closes once none is left.
    void CloseFrame(QtWindow& frame);
    // A window refused to close down: the close-down ends, the frame stays.
    void CloseDownRefused();
    // Before an action that leaves the focus where it is, the focused control of
    // whichever window has it puts what the user edited into its field.
    void SettleFocus();

private:
    void ContinueCloseDown();
    bool OthersOpen() const;

    std::vector<QtWindow*> windows_;  // in order of creation
    bool closingDown_ = false;
    QtWindow* closingFrame_ = nullptr;
    QtWindow* asked_ = nullptr;  // the window whose answer to the close-down is awaited
    bool framesClosing_ = false;  // the frames were told to close: nothing new opens
    QObject context_;
};

}  // namespace verdo
