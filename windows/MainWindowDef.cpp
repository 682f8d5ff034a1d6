#include "windows/MainWindowDef.h"

#include "core/ProductInfo.h"

namespace verdo {

namespace {

ControlDef Menu(const char* name, const char* text, const char* message) {
    ControlDef c;
    c.Name = name;
    c.Kind = ControlKind::Menu;
    c.Text = text;
    c.Message = message;
    return c;
}

ControlDef Item(const char* name, const char* menu, std::string text, std::string message,
                StandardAction action = StandardAction::None) {
    ControlDef c;
    c.Name = name;
    c.Kind = ControlKind::MenuItem;
    c.Parent = menu;
    c.Text = std::move(text);
    c.Message = std::move(message);
    c.Action = action;
    return c;
}

ControlDef Separator(const char* menu) {
    ControlDef c;
    c.Kind = ControlKind::Separator;
    c.Parent = menu;
    return c;
}

ControlDef ToolButton(const char* name, int x, const char* picture, const char* tip) {
    ControlDef c;
    c.Name = name;
    c.Kind = ControlKind::ToolButton;
    c.X = x;
    c.Y = 3;
    c.Width = 26;
    c.Height = 14;
    c.Picture = picture;
    c.Tip = tip;
    c.Message = tip;
    return c;
}

WindowDef Make() {
    WindowDef w;
    w.Procedure = "Main";
    w.Kind = WindowKind::Frame;
    w.Title = "VERDO";
    w.Icon = "Verdo.ico";
    w.Width = 421;
    w.Height = 237;
    w.Resizable = true;
    w.CanMaximize = true;
    w.Wallpaper = "apbg.bmp";
    w.ToolbarWallpaper = "bgrnd.bmp";
    w.ToolbarHeight = 19;
    w.StatusZones = {-1, 64};
    w.Controls = {
        Menu("?FILEMENU", "&File", "File Menu"),
        Item("?BROWSERESFILE", "?FILEMENU", "&Browse Resource Project Database", "Browse Resource Project Database"),
        Separator("?FILEMENU"),
        Item("?EXIT", "?FILEMENU", "E&xit", "Exit VERDO", StandardAction::Close),
        Menu("?EDITMENU", "&Edit", "Edit Menu"),
        Item("?CUT", "?EDITMENU", "Cu&t", "Remove item to Windows Clipboard", StandardAction::Cut),
        Item("?COPY", "?EDITMENU", "&Copy", "Copy item to Windows Clipboard", StandardAction::Copy),
        Item("?PASTE", "?EDITMENU", "&Paste", "Paste contents of Windows Clipboard", StandardAction::Paste),
        Menu("?WINDOWMENU", "&Window", "Create and Arrange windows"),
        Item("?TILE", "?WINDOWMENU", "T&ile", "Make all open windows visible", StandardAction::Tile),
        Item("?CASCADE", "?WINDOWMENU", "&Cascade", "Stack all open windows", StandardAction::Cascade),
        Item("?ARRANGE", "?WINDOWMENU", "&Arrange Icons", "Align all window icons", StandardAction::ArrangeIcons),
        Menu("?HELPMENU", "&Help", "Help Menu"),
        Item("?HELPINDEX", "?HELPMENU", "&Contents", "View the PDF Document"),
        Separator("?HELPMENU"),
        Item("?HELPEMAIL", "?HELPMENU", HelpEmailMenuText(), HelpEmailMessage()),
        Item("?HELPVISITWEBSITE", "?HELPMENU", HelpVisitMenuText(), HelpVisitMessage()),
        Separator("?HELPMENU"),
        Item("?HELPABOUT", "?HELPMENU", "&About VERDO", "About VERDO"),
        ToolButton("?TBBROWSERESFILE", 4, "browse.ico", "Browse Resource Project Database"),
        ToolButton("?TBHELP", 31, "HELP.ICO", "Help"),
    };
    return w;
}

}  // namespace

const WindowDef& MainWindowDef() {
    static const WindowDef def = Make();
    return def;
}

}  // namespace verdo
