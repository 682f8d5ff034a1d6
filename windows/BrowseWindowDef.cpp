#include "windows/BrowseWindowDef.h"

#include "runtime/window/ControlDefs.h"

namespace verdo {

const std::string BrowseListFormat =
    "48R(2)|M~Resource #~C(0)@n-14@48L(2)|M~Project Name~@s8@56L(2)|M~Description~@s255@"
    "43L(2)|M~Project Path~@s255@41L(2)|M~Enter Date~@d17B@47L(2)|M~Export Date~@D17B@"
    "32L(2)|M~Export Time~@T7B@/";

namespace {

ControlDef Tab(const char* name, const char* text) { return MakeControl(name, ControlKind::Tab, 0, 0, 0, 0, text, "?CURRENTTAB"); }

WindowDef Make() {
    WindowDef w;
    w.Procedure = "BrowseRESFile";
    w.Kind = WindowKind::MdiChild;
    w.Title = "Browse the Resource Project Database";
    w.Icon = "Verdo.ico";
    w.Width = 358;
    w.Height = 188;
    w.Resizable = true;
    w.CanMaximize = true;
    w.Wallpaper = "bgrndred.bmp";

    ControlDef list = MakeControl("?BROWSE:1", ControlKind::List, 8, 20, 342, 124);
    list.Picture = BrowseListFormat;
    list.Message = "Browsing Records";
    ControlDef change = MakeControl("?CHANGE:2", ControlKind::Button, 256, 148, 45, 14, "&Change");
    change.Default = true;
    ControlDef exportButton = MakeControl("?EXPORTRESFILE", ControlKind::Button, 12, 148, 67, 14, "E&xport RES File");
    exportButton.Message = "Export Resource File";
    ControlDef preview = MakeControl("?PREVIEWRESFILE", ControlKind::Button, 87, 148, 67, 14, "Pre&view RES");
    preview.Message = "Preview Resource File";
    ControlDef history = MakeControl("?BUILDHISTORY", ControlKind::Button, 12, 170, 67, 14, "Build Hi&story");
    history.Message = "Builds of the Highlighted Project (Ctrl+H)";
    w.Controls = {
        list,
        MakeControl("?INSERT:2", ControlKind::Button, 207, 148, 45, 14, "&Insert"),
        change,
        MakeControl("?DELETE:2", ControlKind::Button, 305, 148, 45, 14, "&Delete"),
        exportButton,
        preview,
        MakeControl("?CURRENTTAB", ControlKind::Sheet, 4, 4, 350, 162),
        Tab("?TAB:2", "by Resource Number"),
        Tab("?TAB:3", "by Project Name"),
        Tab("?TAB:4", "by Enter Date"),
        Tab("?TAB:5", "by Export Date"),
        history,
        MakeControl("?CLOSE", ControlKind::Button, 260, 170, 45, 14, "Close"),
        MakeControl("?HELP", ControlKind::Button, 309, 170, 45, 14, "Help"),
    };
    return w;
}

}  // namespace

const WindowDef& BrowseWindowDef() {
    static const WindowDef def = Make();
    return def;
}

}  // namespace verdo
