#pragma once

class QKeyEvent;
class QMouseEvent;

namespace verdo {

// The key code of a key press as the framework counts keys: the virtual-key number
// with 0x100 for Shift, 0x200 for Ctrl and 0x400 for Alt; 0 for a key without one.
int KeyCode(const QKeyEvent& event);

// The mouse key of a press or double click (Key::MouseLeft, ...); 0 for others.
int MouseKeyCode(const QMouseEvent& event);

// The Qt key of a virtual-key number; 0 for one without.
int QtKey(int virtualKey);

}  // namespace verdo
