#pragma once
#include <functional>
#include <memory>
#include <string>

namespace verdo {

class Window;
struct WindowDef;

// The window library as the framework and the procedures reach it. The Qt library
// installs itself for the interactive program; tests may install a double.
class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    virtual std::unique_ptr<Window> CreateWindow(const WindowDef& definition) = 0;
    // Starts a procedure on a new logical thread; the caller does not wait for it.
    virtual void StartThread(std::function<void()> procedure, int stackSize) = 0;
    // Hands a file, web address or mail address to the desktop; the result is not examined.
    virtual void ShellOpen(Window* owner, const std::string& target) = 0;
    // Posts the close-down event to every open window of the application.
    virtual void CloseDown() = 0;
};

// The window system in use; nullptr when the program runs without windows.
WindowSystem* CurrentWindowSystem();
void SetWindowSystem(WindowSystem* system);

}  // namespace verdo
