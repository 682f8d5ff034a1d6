#include "windows/VerdoSplash.h"

#include "framework/MessageManager.h"
#include "framework/Requests.h"
#include "framework/ToolbarForwarder.h"
#include "framework/WindowManager.h"
#include "runtime/window/EventCodes.h"
#include "runtime/window/WindowSystem.h"
#include "windows/SplashWindowDef.h"

namespace verdo {

namespace {

constexpr int Corner = 30;            // pixels of the rounded outline's corner ellipses
constexpr int ShownHundredths = 300;  // three seconds
constexpr int ShrinkStep = 5;
constexpr int ShrinkPauseMs = 25;

class SplashManager final : public WindowManager {
public:
    uint8_t Start() override {
        GlobalMessages().PushProcedureName("VerdoSplash");
        REQUEST = GlobalRequest;
        uint8_t level = WindowManager::Start();
        if (level != LevelNone) return level;
        AttachToolbar(&FrameToolbar());
        ClearGlobalRequest();
        OpenWindow("VerdoSplash", false);
        Window& w = *GetWindow();
        w.SetRoundedRegion(0, 0, w.PixelWidth(), w.PixelHeight(), Corner, Corner);
        w.SetTimer(ShownHundredths);
        w.SetAlertKey(0, Key::MouseLeft);
        w.SetAlertKey(0, Key::MouseLeftDouble);
        w.SetAlertKey(0, Key::MouseRight);
        RegisterAlertKeys();
        return LevelNone;
    }

    uint8_t OnWindowEvent(const WindowEvent& event) override {
        uint8_t level = WindowManager::OnWindowEvent(event);
        if (level != LevelNone) return level;
        Window& w = *GetWindow();
        switch (event.Code) {
            case Event::AlertKey:
                if (event.Key == Key::MouseLeft || event.Key == Key::MouseLeftDouble || event.Key == Key::MouseRight)
                    w.PostEvent(Event::CloseWindow);
                break;
            case Event::Timer:
            case Event::LoseFocus: w.PostEvent(Event::CloseWindow); break;
            case Event::CloseWindow: Shrink(w); break;
            default: break;
        }
        return LevelNone;
    }

    uint8_t Finish() override {
        uint8_t level = WindowManager::Finish();
        GlobalMessages().PopProcedureName();
        return level;
    }

private:
    // The window closes by shrinking its outline towards the middle.
    void Shrink(Window& w) {
        if (shrunk_) return;
        shrunk_ = true;
        w.SetTimer(0);
        const int limit = w.PixelHeight() / 2;
        for (int i = 0; i <= limit; i += ShrinkStep) {
            w.SetRoundedRegion(i, i, w.PixelWidth() - i, w.PixelHeight() - i, Corner, Corner);
            w.Sleep(ShrinkPauseMs);
        }
    }

    bool shrunk_ = false;
};

}  // namespace

void VerdoSplash() {
    WindowSystem* system = CurrentWindowSystem();
    if (!system) return;
    SplashManager manager;
    manager.SetWindow(system->CreateWindow(SplashWindowDef()));
    manager.RunWindow();
}

}  // namespace verdo
