#pragma once
#include <memory>
#include <vector>

#include "runtime/qt/QtControl.h"

class QMenuBar;

namespace verdo {

// The makers of the control kinds, one per kind, gathered by the control factory.
std::unique_ptr<QtControl> MakePrompt(const ControlDef& def, int number, ControlHost& host);
std::unique_ptr<QtControl> MakeEntry(const ControlDef& def, int number, ControlHost& host);
std::unique_ptr<QtControl> MakeText(const ControlDef& def, int number, ControlHost& host);
std::unique_ptr<QtControl> MakeButton(const ControlDef& def, int number, ControlHost& host);
std::unique_ptr<QtControl> MakeCheck(const ControlDef& def, int number, ControlHost& host);
std::unique_ptr<QtControl> MakeSpin(const ControlDef& def, int number, ControlHost& host);
std::unique_ptr<QtControl> MakeImage(const ControlDef& def, int number, ControlHost& host);
std::unique_ptr<QtControl> MakeRegion(const ControlDef& def, int number, ControlHost& host);
std::unique_ptr<QtControl> MakeSheet(const ControlDef& def, int number, ControlHost& host);
std::unique_ptr<QtControl> MakeTab(const ControlDef& def, int number, ControlHost& host);
std::unique_ptr<QtControl> MakeGroup(const ControlDef& def, int number, ControlHost& host);
std::unique_ptr<QtControl> MakeMenu(const ControlDef& def, int number, ControlHost& host);
std::unique_ptr<QtControl> MakeMenuItem(const ControlDef& def, int number, ControlHost& host);
std::unique_ptr<QtControl> MakeSeparator(const ControlDef& def, int number, ControlHost& host);
std::unique_ptr<QtControl> MakeToolButton(const ControlDef& def, int number, ControlHost& host);
std::unique_ptr<QtControl> MakeList(const ControlDef& def, int number, ControlHost& host);
std::unique_ptr<QtControl> MakeDropList(const ControlDef& def, int number, ControlHost& host);

// Clears a menu title's message when the mouse leaves the window's menu bar with no menu open.
void WatchMenuBarLeave(QMenuBar* bar, ControlHost& host);

// A prompt's mnemonic moves the focus to the next control that can take it.
void AttachPromptBuddies(const std::vector<std::unique_ptr<QtControl>>& controls);

}  // namespace verdo
