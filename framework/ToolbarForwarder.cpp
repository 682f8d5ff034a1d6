#include "framework/ToolbarForwarder.h"

#include "framework/MessageLevels.h"

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

ToolbarForwarder& FrameToolbar() {
    static ToolbarForwarder toolbar;
    return toolbar;
}

}  // namespace verdo
