#pragma once

namespace verdo {

// The events the window library delivers to a window's manager, with the numbers the
// framework expects.
namespace Event {
inline constexpr int Accepted = 0x01;       // a control was accepted (button pressed, entry left changed, menu chosen)
inline constexpr int NewSelection = 0x02;   // a list or sheet selected another entry or tab
inline constexpr int ScrollUp = 0x03;
inline constexpr int ScrollDown = 0x04;
inline constexpr int PageUp = 0x05;
inline constexpr int PageDown = 0x06;
inline constexpr int ScrollTop = 0x07;
inline constexpr int ScrollBottom = 0x08;
inline constexpr int Locate = 0x09;
inline constexpr int AlertKey = 0x0F;       // a key registered as alert key was pressed
inline constexpr int ScrollDrag = 0x14;     // the scroll thumb was dragged
inline constexpr int Rejected = 0x1A;       // a control's input was refused
inline constexpr int Selected = 0x101;      // a control received the focus
inline constexpr int CloseWindow = 0x201;
inline constexpr int CloseDown = 0x202;     // the application is closing
inline constexpr int OpenWindow = 0x203;
inline constexpr int LoseFocus = 0x204;
inline constexpr int GainFocus = 0x205;
inline constexpr int Sized = 0x206;
inline constexpr int Timer = 0x20B;
inline constexpr int Completed = 0x225;     // every control validated after an OK
inline constexpr int DoResize = 0x231;
}  // namespace Event

// Key codes: the virtual-key code, with 0x100 for Shift and 0x200 for Ctrl; the mouse
// keys have codes of their own.
namespace Key {
inline constexpr int MouseLeft = 0x01;
inline constexpr int MouseRight = 0x02;
inline constexpr int MouseLeftDouble = 0x05;
inline constexpr int MouseRightUp = 0x82;
inline constexpr int Tab = 0x09;
inline constexpr int ShiftTab = 0x109;
inline constexpr int Enter = 0x0D;
inline constexpr int Escape = 0x1B;
inline constexpr int Up = 0x26;
inline constexpr int Down = 0x28;
inline constexpr int Insert = 0x2D;
inline constexpr int Delete = 0x2E;
inline constexpr int F1 = 0x70;
inline constexpr int Apostrophe = 0xDE;
inline constexpr int ShiftFlag = 0x100;
inline constexpr int CtrlFlag = 0x200;
inline constexpr int AltFlag = 0x400;
// A printable character typed into a list (for its locator): the flag and the
// character's single-byte code.
inline constexpr int CharFlag = 0x10000;
}  // namespace Key

}  // namespace verdo
