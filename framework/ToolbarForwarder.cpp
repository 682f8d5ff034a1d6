#include "framework/ToolbarForwarder.h"

#include "framework/MessageLevels.h"
#include "framework/WindowItem.h"
#include "framework/WindowManager.h"

namespace verdo {

void ToolbarForwarder::AddTarget(WindowManager* window) {
    RemoveTarget(window);
    targets_.push_back(window);
}

void ToolbarForwarder::RemoveTarget(WindowManager* window) { std::erase(targets_, window); }

WindowManager* ToolbarForwarder::Target() const { return targets_.empty() ? nullptr : targets_.back(); }

bool ToolbarForwarder::Owns(const WindowManager&, int) const { return false; }

uint8_t ToolbarForwarder::TakeAccepted(WindowManager&, int) { return LevelNone; }

void ToolbarForwarder::DisplayButtons(WindowManager&) {}

uint8_t ToolbarForwarder::Press(int button) {
    WindowManager* target = Target();
    if (!target) return LevelNone;
    for (WindowItem* item : target->Items())
        if (uint8_t level = item->TakeToolbarButton(button); level != LevelNone) return level;
    return LevelNone;
}

void ToolbarForwarder::SetTip(int button, const std::string& tip) { tips_[button] = tip; }

std::string ToolbarForwarder::Tip(int button) const {
    auto found = tips_.find(button);
    return found == tips_.end() ? std::string() : found->second;
}

ToolbarForwarder& FrameToolbar() {
    static ToolbarForwarder toolbar;
    return toolbar;
}

}  // namespace verdo
