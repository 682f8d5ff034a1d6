#include "windows/AboutWindowDef.h"

#include "core/ProductInfo.h"
#include "runtime/window/ControlDefs.h"

namespace verdo {

namespace {

ControlDef Control(const char* name, ControlKind kind, int x, int y, std::string text = std::string()) {
    return MakeControl(name, kind, x, y, 0, 0, std::move(text));
}

// An address the user can click: blue and underlined, under a region with a hand cursor.
ControlDef Address(const char* name, int x, int y, std::string text) {
    ControlDef c = Control(name, ControlKind::Prompt, x, y, std::move(text));
    c.Color = 0x0000FF;
    c.Font = "underline";
    return c;
}

ControlDef Region(const char* name, int x, int y, int width, int height) {
    ControlDef c = Control(name, ControlKind::Region, x, y);
    c.Width = width;
    c.Height = height;
    c.Cursor = "Hand.cur";
    return c;
}

WindowDef Make() {
    WindowDef w;
    w.Procedure = "AboutBox";
    w.Kind = WindowKind::Dialog;
    w.Title = "About VERDO";
    w.Icon = "Verdo.ico";
    w.Width = 218;
    w.Height = 65;
    ControlDef image = Control("?IMAGE1", ControlKind::Image, 6, 6);
    image.Picture = "Verdo.ico";
    ControlDef close = Control("?CLOSE", ControlKind::Button, 162, 41, "Close");
    close.Width = 45;
    close.Height = 14;
    close.Default = true;
    w.Controls = {
        Control("?PROMPT5", ControlKind::Prompt, 42, 4, ProductFullTitle),
        Control("?PROMPT6", ControlKind::Prompt, 36, 14, MakerNotice),
        image,
        Control("?PROMPT2", ControlKind::Prompt, 32, 32, "E-Mail:"),
        Region("?REGION2", 60, 33, 91, 8),
        Address("?PROMPT4", 60, 32, MakerEmail),
        Control("?PROMPT1", ControlKind::Prompt, 32, 45, "Web:"),
        Region("?WEBSITE", 60, 45, 89, 9),
        Address("?PROMPT3", 60, 45, MakerWebAddress),
        close,
    };
    return w;
}

}  // namespace

const WindowDef& AboutWindowDef() {
    static const WindowDef def = Make();
    return def;
}

}  // namespace verdo
