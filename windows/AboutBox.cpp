#include "windows/AboutBox.h"

#include "core/OpenDocument.h"
#include "core/ProductInfo.h"
#include "framework/MessageManager.h"
#include "framework/Requests.h"
#include "framework/ToolbarForwarder.h"
#include "framework/WindowManager.h"
#include "runtime/window/WindowSystem.h"
#include "windows/AboutWindowDef.h"

namespace verdo {

namespace {

class AboutManager final : public WindowManager {
public:
    uint8_t Start() override {
        GlobalMessages().PushProcedureName("AboutBox");
        uint8_t level = WindowManager::Start();
        if (level != LevelNone) return level;
        AttachToolbar(&FrameToolbar());
        ClearGlobalRequest();
        Window& w = *GetWindow();
        AddCloseButton(w.ControlNumber("?CLOSE"), Response::Cancelled);
        OpenWindow("AboutBox", false);
        RegisterAlertKeys();
        return LevelNone;
    }

    uint8_t OnAccepted(int control) override {
        uint8_t level = WindowManager::OnAccepted(control);
        Window& w = *GetWindow();
        if (control == w.ControlNumber("?REGION2")) OpenDocument(&w, MakerMailTarget());
        if (control == w.ControlNumber("?WEBSITE")) OpenDocument(&w, MakerWebTarget());
        return level;
    }

    uint8_t Finish() override {
        uint8_t level = WindowManager::Finish();
        GlobalMessages().PopProcedureName();
        return level;
    }
};

}  // namespace

void AboutBox() {
    WindowSystem* system = CurrentWindowSystem();
    if (!system) return;
    AboutManager manager;
    manager.SetWindow(system->CreateWindow(AboutWindowDef()));
    manager.RunWindow();
}

}  // namespace verdo
