#pragma once
#include <functional>
#include <string>
#include <vector>

#include "runtime/window/PlacedWindow.h"

namespace verdo {

struct FieldDef;
struct FieldRef;
struct WindowDef;

// One entry of a popup menu: its text with "&" before the mnemonic, or a separator.
struct PopupEntry {
    std::string Text;
    bool Enabled = true;
    bool Separator = false;
};

// An event delivered to a window's handler: the event code, the control it concerns
// (0 for the window itself) and, for alert keys, the key code.
struct WindowEvent {
    int Code = 0;
    int Control = 0;
    int Key = 0;
};

// Receives a window's events, one at a time. The result is a level: 0 lets the window
// library do its own handling (a close event closes the window), anything else means
// the event was consumed (a close event is refused).
class WindowEventHandler {
public:
    virtual ~WindowEventHandler() = default;
    virtual int OnEvent(const WindowEvent& event) = 0;
};

// One window of the window library, built from its definition. Controls are numbered
// from 1 in the order of the definition's control list.
class Window : public PlacedWindow {
public:
    ~Window() override = default;

    virtual const WindowDef& Definition() const = 0;
    virtual void SetHandler(WindowEventHandler* handler) = 0;

    // Creates and shows the window; the open-window event follows.
    virtual void Open() = 0;
    virtual bool IsOpen() const = 0;
    // Delivers events until the window has closed. A modal window blocks every other
    // window of the application meanwhile; others keep receiving their events.
    virtual void RunEventLoop() = 0;
    // Closes at once, without asking the handler.
    virtual void Close() = 0;

    // Queues an event for this window's handler, after the events already queued.
    virtual void PostEvent(int code, int control = 0, int key = 0) = 0;

    virtual int ControlNumber(const std::string& name) const = 0;  // 0 when unknown
    virtual std::string ControlName(int control) const = 0;
    virtual int FocusedControl() const = 0;
    virtual void Select(int control) = 0;               // focus
    // Copies the bound fields into the controls (0: all of them) or back into the fields.
    virtual void Display(int control = 0) = 0;
    virtual void Update(int control = 0) = 0;
    // Checks every control's input and then posts the completed event.
    virtual void ValidateAll() = 0;
    virtual void SetControlText(int control, const std::string& text) = 0;
    virtual void SetControlEnabled(int control, bool enabled) = 0;
    virtual bool IsControlEnabled(int) const { return true; }
    virtual void SetControlHidden(int control, bool hidden) = 0;
    virtual void SetAlertKey(int control, int key) = 0;  // control 0: the window itself
    virtual void SetTimer(int hundredths) = 0;           // 0 stops it
    virtual void SetStatusText(int zone, const std::string& text) = 0;  // zones from 1
    virtual void SetWaitCursor(bool wait) = 0;
    virtual void Beep() = 0;

    // Pixel measurements and the window's outline, for windows without a frame.
    virtual int PixelWidth() const = 0;
    virtual int PixelHeight() const = 0;
    virtual void SetRoundedRegion(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight) = 0;
    virtual void Sleep(int milliseconds) = 0;            // keeps the display painting

    // Texts given to a window (titles, control texts, status texts) are UTF-8; record
    // fields stay single-byte and are converted by the bound controls.
    virtual void SetTitle(const std::string&) {}
    // The chosen entry of a control counted from 1 (a sheet's tab); 0 when none.
    virtual int Choice(int) const { return 0; }
    virtual void SetChoice(int, int) {}
    // The smallest size the user can give the window, in dialog units.
    virtual void SetMinimumSize(int, int) {}
    // Lets the controls of a resizable window follow its size: lists, sheets and text
    // boxes grow, controls in the lower half move down and those in the right half
    // move right. Strategy 0 keeps every control where its definition puts it.
    virtual void SetResizeStrategy(int) {}

    // Lists. A list shows the rows it is given, one page of them, and nothing else: its
    // vertical scroll bar only reports what the user does with it (the scroll events
    // and the thumb drag). Each row is a record image; each column of the list's format
    // shows one field of it under the column's display picture. Choice and SetChoice
    // are the highlighted row, counted from 1.
    virtual void SetListFields(int, const std::vector<const FieldDef*>&) {}
    virtual void SetListRows(int, const std::vector<std::string>&) {}
    // How many rows fit into the list as it is now sized; at least 1.
    virtual int ListRowsShown(int) const { return 1; }
    // The format with the widths the user left the columns at.
    virtual std::string GetListFormat(int) const { return {}; }
    // False, with the format unchanged, when the text is no format the list can use.
    virtual bool SetListFormat(int, const std::string&) { return false; }
    // Where the user left the scroll thumb, from 0 (top) to 100 (bottom); and where
    // the thumb is to stand.
    virtual int ListThumb(int) const { return 0; }
    virtual void SetListThumb(int, int) {}
    // The column of the list the user clicked last, counted from 1.
    virtual int ListClickedColumn(int) const { return 1; }
    // Editing a list's row in place: one one-line entry per column over the row's cells
    // (row counted from 1), each showing and editing the field it is given; the entry of
    // `column` (from 1) takes the focus. While a row is edited, Tab, Shift+Tab, Enter,
    // Esc, Up and Down pressed in its entries come as alert keys of the list, and the
    // focus leaving the entries for anything else as the list's lose-focus event.
    virtual void EditListRow(int, int, const std::vector<FieldRef>&, int) {}
    // Moves the focus to another column's entry.
    virtual void FocusListEdit(int, int) {}
    // Takes what the entries hold into their fields.
    virtual void UpdateListEdit(int) {}
    // Removes the entries.
    virtual void EndListEdit(int) {}

    // Feeds keys (key codes as the alert keys count them) to the focused control, after
    // the events already waiting, as if the user typed them.
    virtual void PressKeys(const std::vector<int>&) {}

    // Shows a popup menu at the mouse and returns the entry chosen, counted from 1
    // among all entries; 0 when none was chosen.
    virtual int PopupMenu(const std::vector<PopupEntry>&) { return 0; }

    // Puts a text (UTF-8) on the desktop's clipboard.
    virtual void CopyText(const std::string&) {}
};

}  // namespace verdo
