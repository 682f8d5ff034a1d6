#include "runtime/qt/KeyCodes.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include "runtime/window/EventCodes.h"

namespace verdo {

namespace {

int VirtualKey(int key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return 0x41 + (key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return 0x30 + (key - Qt::Key_0);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return Key::F1 + (key - Qt::Key_F1);
    switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter: return Key::Enter;
        case Qt::Key_Escape: return Key::Escape;
        case Qt::Key_Tab:
        case Qt::Key_Backtab: return 0x09;
        case Qt::Key_Backspace: return 0x08;
        case Qt::Key_Space: return 0x20;
        case Qt::Key_PageUp: return 0x21;
        case Qt::Key_PageDown: return 0x22;
        case Qt::Key_End: return 0x23;
        case Qt::Key_Home: return 0x24;
        case Qt::Key_Left: return 0x25;
        case Qt::Key_Up: return 0x26;
        case Qt::Key_Right: return 0x27;
        case Qt::Key_Down: return 0x28;
        case Qt::Key_Insert: return Key::Insert;
        case Qt::Key_Delete: return Key::Delete;
        case Qt::Key_Semicolon:
        case Qt::Key_Colon: return 0xBA;
        case Qt::Key_Equal:
        case Qt::Key_Plus: return 0xBB;
        case Qt::Key_Comma:
        case Qt::Key_Less: return 0xBC;
        case Qt::Key_Minus:
        case Qt::Key_Underscore: return 0xBD;
        case Qt::Key_Period:
        case Qt::Key_Greater: return 0xBE;
        case Qt::Key_Slash:
        case Qt::Key_Question: return 0xBF;
        case Qt::Key_QuoteLeft:
        case Qt::Key_AsciiTilde: return 0xC0;
        case Qt::Key_BracketLeft:
        case Qt::Key_BraceLeft: return 0xDB;
        case Qt::Key_Backslash:
        case Qt::Key_Bar: return 0xDC;
        case Qt::Key_BracketRight:
        case Qt::Key_BraceRight: return 0xDD;
        case Qt::Key_Apostrophe:
        case Qt::Key_QuoteDbl: return Key::Apostrophe;
        default: return 0;
    }
}

}  // namespace

int QtKey(int virtualKey) {
    if (virtualKey >= 0x41 && virtualKey <= 0x5A) return Qt::Key_A + (virtualKey - 0x41);
    if (virtualKey >= 0x30 && virtualKey <= 0x39) return Qt::Key_0 + (virtualKey - 0x30);
    switch (virtualKey) {
        case 0x20: return Qt::Key_Space;
        case 0x23: return Qt::Key_End;
        case 0x24: return Qt::Key_Home;
        case Key::Enter: return Qt::Key_Return;
        case Key::Tab: return Qt::Key_Tab;
        default: return 0;
    }
}

int KeyCode(const QKeyEvent& event) {
    int code = VirtualKey(event.key());
    if (code == 0) return 0;
    Qt::KeyboardModifiers modifiers = event.modifiers();
    if (modifiers & Qt::ShiftModifier) code |= Key::ShiftFlag;
    if (modifiers & Qt::ControlModifier) code |= Key::CtrlFlag;
    if (modifiers & Qt::AltModifier) code |= Key::AltFlag;
    return code;
}

int MouseKeyCode(const QMouseEvent& event) {
    if (event.type() == QEvent::MouseButtonRelease) return event.button() == Qt::RightButton ? Key::MouseRightUp : 0;
    bool twice = event.type() == QEvent::MouseButtonDblClick;
    if (event.type() != QEvent::MouseButtonPress && !twice) return 0;
    if (event.button() == Qt::LeftButton) return twice ? Key::MouseLeftDouble : Key::MouseLeft;
    if (event.button() == Qt::RightButton) return Key::MouseRight;
    return 0;
}

}  // namespace verdo
