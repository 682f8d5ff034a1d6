#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace verdo {

class WindowManager;

// The frame's toolbar as the windows inside the frame see it: each window registers
// itself when it attaches the toolbar and is forgotten when it finishes; the buttons
// act on the window registered last that is still there.
class ToolbarForwarder {
public:
    ToolbarForwarder() = default;
    virtual ~ToolbarForwarder() = default;
    ToolbarForwarder(const ToolbarForwarder&) = delete;
    ToolbarForwarder& operator=(const ToolbarForwarder&) = delete;

    void AddTarget(WindowManager* window);
    void RemoveTarget(WindowManager* window);
    // The window the buttons act on; nullptr when none is registered.
    WindowManager* Target() const;

    // Whether accepting the control of that window is a toolbar button the forwarder
    // handles, and the handling itself (a level, non-zero when consumed).
    virtual bool Owns(const WindowManager& window, int control) const;
    virtual uint8_t TakeAccepted(WindowManager& window, int control);
    // Brings the buttons up to date with the window's current selection.
    virtual void DisplayButtons(WindowManager& window);

    // A numbered toolbar button pressed: the items of the target window act on it.
    uint8_t Press(int button);
    // The tip a numbered button shows.
    void SetTip(int button, const std::string& tip);
    std::string Tip(int button) const;

private:
    std::vector<WindowManager*> targets_;
    std::map<int, std::string> tips_;
};

// The one toolbar forwarder of the frame.
ToolbarForwarder& FrameToolbar();

}  // namespace verdo
