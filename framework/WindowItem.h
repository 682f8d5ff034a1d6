#pragma once
#include <cstdint>

#include "runtime/window/Window.h"

namespace verdo {

// Something registered with a window manager that takes part in its window's life: a
// browse manager, a drop list, a resizer. The manager tells it of every event and asks
// it to refresh, to take its values from the window and to finish.
class WindowItem {
public:
    virtual ~WindowItem() = default;

    // Non-zero when the item consumed the event; the manager then stops passing it on.
    virtual uint8_t TakeEvent(const WindowEvent& event) = 0;
    // Whether the item's contents are out of date with the records behind them.
    virtual bool NeedsRefresh() { return false; }
    // Re-reads what the item shows; `force` even when nothing seems to have changed.
    virtual void Refresh(bool force) { (void)force; }
    // Takes the values the user left in the item's controls into its fields.
    virtual void UpdateFromWindow() {}
    // Puts the item's values into its controls after the window has been refreshed.
    virtual void TakeWindowUpdate() {}
    // Registers the keys the item wants to hear of as alert keys of its controls.
    virtual void RegisterAlertKeys() {}
    // A button of the frame's toolbar pressed while the item's window is the toolbar's
    // target; non-zero when the item acted on it.
    virtual uint8_t TakeToolbarButton(int button) {
        (void)button;
        return 0;
    }
    // The window is going away: keeps what must be kept and lets go of the rest.
    virtual void Finish() {}
};

}  // namespace verdo
