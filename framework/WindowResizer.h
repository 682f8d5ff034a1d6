#pragma once
#include "framework/WindowItem.h"

namespace verdo {

// Lets the controls of a resizable window follow its size. The window library knows
// from each control's kind and place whether it grows or moves; the strategy says how
// (0 keeps every control where it is; 2 lets lists, sheets and text boxes grow and the
// controls beside and below them move). Minimum and maximum sizes are the window's own.
class WindowResizer : public WindowItem {
public:
    void Init(Window* window, int strategy) {
        window_ = window;
        if (window_) window_->SetResizeStrategy(strategy);
    }
    uint8_t TakeEvent(const WindowEvent&) override { return 0; }
    void Finish() override {
        if (window_) window_->SetResizeStrategy(0);
        window_ = nullptr;
    }

private:
    Window* window_ = nullptr;
};

}  // namespace verdo
