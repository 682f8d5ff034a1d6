#include "windows/SplashWindowDef.h"

#include "core/ProductInfo.h"

namespace verdo {

namespace {
WindowDef Make() {
    WindowDef w;
    w.Procedure = "VerdoSplash";
    w.Kind = WindowKind::Popup;
    w.Width = 199;
    w.Height = 130;
    // The notice stands below the logo, white on the logo's own dark blue.
    w.Background = 0x0C1F3A;
    ControlDef logo;
    logo.Name = "?IMAGE1";
    logo.Kind = ControlKind::Image;
    logo.Width = 198;
    logo.Height = 119;
    logo.Picture = "logo.bmp";
    ControlDef notice;
    notice.Name = "?PROMPT1";
    notice.Kind = ControlKind::Prompt;
    notice.X = 11;
    notice.Y = 120;
    notice.Text = SplashNotice;
    notice.Color = 0xFFFFFF;
    w.Controls = {logo, notice};
    return w;
}
}  // namespace

const WindowDef& SplashWindowDef() {
    static const WindowDef def = Make();
    return def;
}

}  // namespace verdo
