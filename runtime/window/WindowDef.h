#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "runtime/store/FieldDictionary.h"

namespace verdo {

// A record field a control shows and edits.
struct FieldRef {
    void* Record = nullptr;          // the live record buffer
    const FieldDef* Field = nullptr;  // where in it, and of what type
    bool IsSet() const { return Record && Field; }
};

enum class ControlKind {
    Prompt,        // static text
    Entry,         // single-line entry bound to a field
    Text,          // multi-line text bound to a field
    Button,
    Check,         // check box bound to a field (value 1 checked, 0 not)
    Spin,          // spin box bound to a numeric field
    Image,         // a picture
    Region,        // an invisible click region, with a cursor of its own
    Sheet,         // a tabbed sheet; its tabs are Tab controls that name it as parent
    Tab,
    Group,         // a framed group box
    List,          // list box with column format (the browse's)
    DropList,      // drop-down list
    Menu,          // a menu of the menu bar; its items name it as parent
    MenuItem,
    Separator,     // a separator in the menu named as parent
    ToolButton,    // a button of the frame's toolbar
};

// What the window library does by itself when a control is accepted.
enum class StandardAction { None, Close, Cut, Copy, Paste, Tile, Cascade, ArrangeIcons };

// One control of a window: positions and sizes are in dialog units; a size of 0 means
// the control's natural size.
struct ControlDef {
    std::string Name;        // "?RES:PROJECTNAME", "?BROWSE:1", "?CLOSE"
    ControlKind Kind = ControlKind::Prompt;
    int X = 0, Y = 0, Width = 0, Height = 0;
    std::string Text;        // caption, prompt text, tab title, menu text with "&"
    std::string Tip;         // tool tip
    std::string Message;     // status-bar message while the control is focused or highlighted
    std::string Picture;     // entry display picture ("@s35", "@n-14"), list format, or picture file name
    std::string Parent;      // the sheet of a tab, the tab of a control on a sheet, the menu of an item
    std::string Cursor;      // mouse cursor picture over the control ("Hand.cur")
    std::string Font;        // empty: the window's font; "underline", "bold" as needed
    unsigned Color = 0;      // text colour 0xRRGGBB; 0 keeps the default
    StandardAction Action = StandardAction::None;
    bool Default = false;    // the default button
    bool Hidden = false;
    bool Disabled = false;
    bool ReadOnly = false;   // an entry that shows its field without editing it
    FieldRef Use;            // the field an entry, text, check or spin shows
};

enum class WindowKind {
    Frame,       // the multi-document application frame
    MdiChild,    // a window inside the frame
    Dialog,      // a modal window with a title bar
    Popup,       // a modal window without a title bar (the splash)
};

// A window as data: the window library builds the widgets from it.
struct WindowDef {
    std::string Procedure;   // the procedure name: "Main", "AboutBox", ...
    WindowKind Kind = WindowKind::Dialog;
    std::string Title;
    std::string Icon;        // "Verdo.ico"
    int X = -1, Y = -1;      // -1: left to the window system
    int Width = 0, Height = 0;
    bool Resizable = false;
    bool CanMaximize = false;
    std::string Font = "MS Sans Serif";
    int FontSize = 8;
    std::string Wallpaper;       // client wallpaper picture
    unsigned Background = 0;     // client colour 0xRRGGBB under the controls; 0 keeps the default
    std::string ToolbarWallpaper;
    int ToolbarHeight = 0;       // 0: no toolbar
    std::vector<int> StatusZones;  // widths in dialog units, -1 for the zone taking the rest; empty: no status bar
    std::vector<ControlDef> Controls;
};

}  // namespace verdo
