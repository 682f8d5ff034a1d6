#include "windows/Main.h"

#include "core/OpenDocument.h"
#include "core/ProductInfo.h"
#include "core/ProgramNames.h"
#include "framework/MessageManager.h"
#include "framework/Requests.h"
#include "framework/ToolbarForwarder.h"
#include "framework/WindowManager.h"
#include "runtime/window/EventCodes.h"
#include "runtime/window/WindowSystem.h"
#include "windows/AboutBox.h"
#include "windows/MainWindowDef.h"
#include "windows/ProcedureTable.h"
#include "windows/VerdoSplash.h"

namespace verdo {

namespace {

class MainManager final : public WindowManager {
public:
    uint8_t Start() override {
        VerdoSplash();
        GlobalMessages().PushProcedureName("Main");
        REQUEST = GlobalRequest;
        uint8_t level = WindowManager::Start();
        if (level != LevelNone) return level;
        AttachToolbar(&FrameToolbar());
        ClearGlobalRequest();
        OpenWindow("Main", true);
        RegisterAlertKeys();
        return LevelNone;
    }

    uint8_t OnWindowEvent(const WindowEvent& event) override {
        uint8_t level = WindowManager::OnWindowEvent(event);
        if (event.Code == Event::OpenWindow) {
            Window& w = *GetWindow();
            w.SetStatusText(2, ProductNameAndVersion);
            // The browse opens as soon as the frame is on screen.
            w.PostEvent(Event::Accepted, w.ControlNumber("?TBBROWSERESFILE"));
        }
        return level;
    }

    uint8_t OnAccepted(int control) override {
        Window& w = *GetWindow();
        const std::string name = w.ControlName(control);
        if (name == "?BROWSERESFILE") StartBrowse();
        else if (name == "?HELPINDEX") OpenDocument(&w, ManualFileName);
        else if (name == "?HELPEMAIL") OpenDocument(&w, MakerMailTarget());
        else if (name == "?HELPVISITWEBSITE") OpenDocument(&w, MakerWebTarget());
        else if (name == "?HELPABOUT") AboutBox();
        uint8_t level = WindowManager::OnAccepted(control);
        if (name == "?TBBROWSERESFILE") StartBrowse();
        else if (name == "?TBHELP") OpenDocument(&w, ManualFileName);
        return level;
    }

    uint8_t Finish() override {
        uint8_t level = WindowManager::Finish();
        GlobalMessages().PopProcedureName();
        return level;
    }

private:
    // Always a new thread: the browse itself refuses to open twice.
    static void StartBrowse() { StartProcedure("BrowseRESFile", BrowseStackSize); }
};

}  // namespace

void Main() {
    WindowSystem* system = CurrentWindowSystem();
    if (!system) return;
    MainManager manager;
    manager.SetWindow(system->CreateWindow(MainWindowDef()));
    manager.RunWindow();
}

}  // namespace verdo
