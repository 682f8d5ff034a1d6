#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Records.h"
#include "framework/MessageLevels.h"
#include "framework/SettingsFile.h"
#include "framework/ToolbarForwarder.h"
#include "framework/WindowItem.h"
#include "framework/WindowManager.h"
#include "runtime/text/Text.h"
#include "tests/support/FakeWindow.h"
#include "tests/support/TempProgramDir.h"

using namespace verdo;
using verdo::test::FakeWindow;

namespace {

using Log = std::vector<std::string>;

ControlDef Control(const std::string& name, ControlKind kind) {
    ControlDef control;
    control.Name = name;
    control.Kind = kind;
    return control;
}

WindowDef ProbeDefinition() {
    WindowDef def;
    def.Procedure = "Probe";
    def.Width = 200;
    def.Height = 100;
    def.Resizable = true;
    def.Controls = {
        Control("?NAME", ControlKind::Entry),
        Control("?SHEET", ControlKind::Sheet),
        Control("?LIST", ControlKind::List),
        Control("?OK", ControlKind::Button),
        Control("?CLOSE", ControlKind::Button),
        Control("?TBINSERT", ControlKind::ToolButton),
        Control("?FV", ControlKind::Spin),
    };
    return def;
}

class RecordingItem : public WindowItem {
public:
    RecordingItem(std::string name, Log& log) : name_(std::move(name)), log_(log) {}
    uint8_t TakeEvent(const WindowEvent&) override {
        log_.push_back(name_);
        return result;
    }
    bool NeedsRefresh() override { return stale; }
    void Refresh(bool force) override { log_.push_back(name_ + " refresh" + (force ? " forced" : "")); }
    void TakeWindowUpdate() override { log_.push_back(name_ + " shows"); }
    void UpdateFromWindow() override { log_.push_back(name_ + " takes"); }
    void RegisterAlertKeys() override { log_.push_back(name_ + " keys"); }
    void Finish() override { log_.push_back(name_ + " finish"); }

    uint8_t result = LevelNone;
    bool stale = false;

private:
    std::string name_;
    Log& log_;
};

// Logs the handlers the dispatcher reaches, then does what the framework does.
class RecordingManager : public WindowManager {
public:
    explicit RecordingManager(Window& window) { SetWindow(&window); }
    uint8_t OnWindowEvent(const WindowEvent& event) override {
        log.push_back("window " + std::to_string(event.Code));
        return WindowManager::OnWindowEvent(event);
    }
    uint8_t OnAccepted(int control) override {
        log.push_back("accepted " + std::to_string(control));
        return WindowManager::OnAccepted(control);
    }
    uint8_t OnFieldEvent(const WindowEvent&) override {
        log.push_back("field");
        return fieldResult;
    }
    void Opened() override {
        log.push_back("opened");
        WindowManager::Opened();
    }
    void Refresh(bool force) override {
        log.push_back(force ? "refresh forced" : "refresh");
        WindowManager::Refresh(force);
    }
    Log log;
    uint8_t fieldResult = LevelNone;
};

class CountingToolbar : public ToolbarForwarder {
public:
    bool Owns(const WindowManager&, int control) const override { return control == button; }
    uint8_t TakeAccepted(WindowManager&, int control) override {
        taken.push_back(control);
        return LevelNotice;
    }
    void DisplayButtons(WindowManager&) override { ++displays; }
    int button = 0;
    std::vector<int> taken;
    int displays = 0;
};

// A window that opens in its Start, as the program's windows do.
class PlacedProbe : public WindowManager {
public:
    PlacedProbe(Window& window, bool failStart) : failStart_(failStart) { SetWindow(&window); }
    uint8_t Start() override {
        WindowManager::Start();
        if (failStart_) return LevelNotice;
        AddCloseButton(GetWindow()->ControlNumber("?CLOSE"), Response::Cancelled);
        return OpenWindow("Probe", true);
    }

private:
    bool failStart_;
};

}  // namespace

TEST(WindowManagerDispatch, WindowEventsFirstThenControlsThenItemsInTurnThenRefresh) {
    FakeWindow window(ProbeDefinition());
    RecordingManager manager(window);
    Log& log = manager.log;
    RecordingItem first("first", log), second("second", log);
    manager.Start();
    manager.RegisterItem(&first);
    manager.RegisterItem(&second);

    EXPECT_EQ(manager.OnEvent({Event::Timer, 0, 0}), LevelNone);
    EXPECT_EQ(log, (Log{"window " + std::to_string(Event::Timer), "first", "second"}));

    log.clear();
    second.stale = true;
    EXPECT_EQ(manager.OnEvent({Event::Accepted, 1, 0}), LevelNone);
    EXPECT_EQ(log, (Log{"accepted 1", "field", "first", "second", "refresh", "first refresh", "second refresh",
                        "first shows", "second shows"}));
    EXPECT_EQ(window.Calls.back(), "Display 0");

    log.clear();
    manager.AUTOREFRESH = false;
    manager.OnEvent({Event::Accepted, 1, 0});
    EXPECT_EQ(log, (Log{"accepted 1", "field", "first", "second"}));

    // Whoever consumes the event ends its processing, refresh included.
    log.clear();
    manager.AUTOREFRESH = true;
    first.result = LevelNotice;
    EXPECT_EQ(manager.OnEvent({Event::Accepted, 1, 0}), LevelNotice);
    EXPECT_EQ(log, (Log{"accepted 1", "field", "first"}));

    log.clear();
    manager.fieldResult = LevelNotice;
    EXPECT_EQ(manager.OnEvent({Event::Selected, 3, 0}), LevelNotice);
    EXPECT_EQ(log, (Log{"field"}));

    log.clear();
    manager.UpdateItems();
    manager.RegisterAlertKeys();
    EXPECT_EQ(log, (Log{"first takes", "second takes", "first keys", "second keys"}));
}

TEST(WindowManagerDispatch, WindowEventsOpenOnceFocusTheFirstFieldAndRefreshWhenAsked) {
    FakeWindow window(ProbeDefinition());
    RecordingManager manager(window);
    Log& log = manager.log;
    manager.Start();
    manager.FIRSTFIELD = 1;
    std::string translated;
    manager.TRANSLATOR = [&translated](Window& w) { translated = w.Definition().Procedure; };

    // A size event before the window-opened event stands in for it.
    manager.OnEvent({Event::Sized, 0, 0});
    manager.OnEvent({Event::OpenWindow, 0, 0});
    manager.OnEvent({Event::Sized, 0, 0});
    EXPECT_EQ(log, (Log{"window 518", "opened", "refresh forced", "window 515", "window 518", "refresh"}));
    EXPECT_EQ(translated, "Probe");
    EXPECT_EQ(window.FocusedControl(), 1);

    log.clear();
    manager.OnEvent({Event::DoResize, 0, 0});
    manager.OnEvent({Event::DoResize, 0, 0});
    EXPECT_EQ(log, (Log{"window 561", "window 561", "refresh"}));

    log.clear();
    manager.OnEvent({Event::GainFocus, 0, 0});
    manager.RESETONGAINFOCUS = true;
    manager.OnEvent({Event::GainFocus, 0, 0});
    EXPECT_EQ(log, (Log{"window 517", "window 517", "refresh forced"}));
    EXPECT_FALSE(manager.FORCEDRESET);
}

TEST(WindowManagerDispatch, NewSelectionRefreshesExceptOnASheetAndUpdatesTheToolbar) {
    FakeWindow window(ProbeDefinition());
    RecordingManager manager(window);
    CountingToolbar toolbar;
    manager.Start();
    manager.AttachToolbar(&toolbar);
    EXPECT_EQ(toolbar.Target(), &manager);

    manager.OnEvent({Event::NewSelection, window.ControlNumber("?SHEET"), 0});
    EXPECT_EQ(window.Count("Display 0"), 0);
    manager.OnEvent({Event::NewSelection, window.ControlNumber("?LIST"), 0});
    EXPECT_EQ(window.Count("Display 0"), 1);
    EXPECT_EQ(toolbar.displays, 2);
    manager.AUTOTOOLBAR = false;
    manager.OnEvent({Event::NewSelection, window.ControlNumber("?LIST"), 0});
    EXPECT_EQ(toolbar.displays, 2);

    // A button the toolbar owns goes to it before anything else sees it.
    toolbar.button = window.ControlNumber("?TBINSERT");
    manager.AddCloseButton(toolbar.button, Response::Completed);
    EXPECT_EQ(manager.OnEvent({Event::Accepted, toolbar.button, 0}), LevelNotice);
    EXPECT_EQ(toolbar.taken, std::vector<int>{toolbar.button});
    EXPECT_EQ(manager.RESPONSE, Response::Undecided);

    manager.Finish();
    EXPECT_EQ(toolbar.Target(), nullptr);
}

TEST(WindowManagerRun, CloseButtonsAndTheCloseBoxEndTheWindowWithTheirResponse) {
    for (auto [control, expected] : {std::pair<const char*, uint8_t>{"?CLOSE", Response::Cancelled},
                                     {"", Response::Cancelled}}) {
        FakeWindow window(ProbeDefinition());
        PlacedProbe manager(window, false);
        if (*control)
            window.Inject(Event::Accepted, control);
        else
            window.Inject(Event::CloseWindow);
        EXPECT_EQ(manager.RunWindow(), expected) << control;
        EXPECT_FALSE(window.IsOpen());
        EXPECT_TRUE(manager.DEAD);
    }

    FakeWindow window(ProbeDefinition());
    PlacedProbe manager(window, false);
    manager.REQUEST = Request::Select;
    window.Inject(Event::Accepted, "?OK");
    window.Then([&] { manager.OKCONTROL = window.ControlNumber("?OK"); });
    window.Inject(Event::Accepted, "?OK");
    EXPECT_EQ(manager.RunWindow(), Response::Completed);
    // Not the OK control yet at the first press: nothing happened then.
    EXPECT_EQ(window.Count("Post 549 0"), 1);
    EXPECT_FALSE(window.CallMade("ValidateAll"));
}

TEST(WindowManagerRun, ARefusedControlStopsTheOkAndNothingIsRedisplayedWhileValidating) {
    FakeWindow window(ProbeDefinition());
    RecordingManager manager(window);
    manager.REQUEST = Request::Change;
    manager.Start();
    manager.OKCONTROL = window.ControlNumber("?OK");
    window.Open();
    window.RefuseOnValidate = window.ControlNumber("?FV");
    window.ValidationEvents = {{Event::NewSelection, window.ControlNumber("?LIST"), 0}};
    window.Inject(Event::Accepted, "?OK");
    window.RunEventLoop();
    window.Inject(Event::NewSelection, "?LIST");
    window.RunEventLoop();

    Log expected{"ValidateAll", "Post 26 7", "Beep", "Display 0", "Select 7", "Display 0"};
    Log tail;
    for (const std::string& call : window.Calls)
        if (call == "ValidateAll" || call.starts_with("Post") || call == "Beep" || call.starts_with("Display") ||
            call == "Select 7")
            tail.push_back(call);
    // The first redisplay is the opening's; the new selection during validation shows nothing.
    tail.erase(tail.begin());
    EXPECT_EQ(tail, expected);
    EXPECT_TRUE(window.IsOpen());
    EXPECT_EQ(manager.RESPONSE, Response::Undecided);
}

TEST(WindowManagerRun, FinishRunsOnceAndLetsItemsGo) {
    FakeWindow window(ProbeDefinition());
    Log log;
    RecordingItem item("item", log);
    WindowManager never;
    never.SetWindow(&window);
    EXPECT_EQ(never.Finish(), LevelNotice);

    WindowManager manager;
    manager.SetWindow(&window);
    manager.Start();
    manager.RegisterItem(&item);
    manager.RegisterItem(&item);
    EXPECT_EQ(manager.Finish(), LevelNone);
    EXPECT_EQ(log, (Log{"item finish"}));
    EXPECT_TRUE(manager.Items().empty());
    EXPECT_EQ(manager.Finish(), LevelNotice);
    manager.EventLoop();
    EXPECT_FALSE(window.CallMade("RunEventLoop"));
    EXPECT_EQ(manager.RunProcedure(1, Request::Change), Response::Cancelled);
}

TEST(WindowManagerDitto, TheKeyBringsBackTheFieldAsItWasAtTheLastOk) {
    FakeWindow window(ProbeDefinition());
    WindowManager manager;
    manager.SetWindow(&window);
    manager.Start();
    RESFileRecord live{}, saved{};
    const TableDef& table = RESFileTable();
    int name = window.ControlNumber("?NAME"), versions = window.ControlNumber("?FV");
    manager.HISTORYKEY = WindowManager::DittoKey;
    manager.DittoRecord(&live, &saved, table);
    manager.DittoField(name, table.FieldIndex("RES:ProjectName") + 1);
    manager.DittoField(versions, table.FieldIndex("RES:FileVerGroup") + 1);
    manager.RegisterAlertKeys();
    EXPECT_TRUE(window.CallMade("Alert 1 734"));
    EXPECT_TRUE(window.CallMade("Alert 7 734"));

    AssignField(live.ProjectName, "KEPT");
    AssignField(live.Description, "ALSO");
    live.FV_1 = 1;
    live.FV_4 = 4;
    manager.OnCompleted();
    AssignField(live.ProjectName, "OTHER");
    AssignField(live.Description, "OTHER");
    live.FV_1 = live.FV_4 = 9;
    live.PV_1 = 9;

    EXPECT_EQ(manager.OnEvent({Event::AlertKey, name, WindowManager::DittoKey}), LevelNotice);
    EXPECT_EQ(FieldText(live.ProjectName), "KEPT");
    EXPECT_EQ(FieldText(live.Description), "OTHER");
    EXPECT_EQ(window.Calls.back(), "Display 1");
    // A group is one field: all its parts come back, and nothing beyond it.
    window.Select(versions);
    manager.OnEvent({Event::AlertKey, 0, WindowManager::DittoKey});
    EXPECT_EQ(live.FV_1, 1);
    EXPECT_EQ(live.FV_4, 4);
    EXPECT_EQ(live.PV_1, 9);
    // Another key, or a control without history, is left to others.
    AssignField(live.ProjectName, "OTHER");
    EXPECT_EQ(manager.OnEvent({Event::AlertKey, name, Key::CtrlFlag | 'A'}), LevelNone);
    EXPECT_EQ(manager.OnEvent({Event::AlertKey, 3, WindowManager::DittoKey}), LevelNone);
    EXPECT_EQ(FieldText(live.ProjectName), "OTHER");
}

TEST(WindowManagerPlacement, OnlyAWindowThatWasOpenedKeepsItsPlacement) {
    test::TempProgramDir dir;
    SettingsFile& settings = GlobalSettings();
    settings.Open(dir.File("VERDO.INI"));

    FakeWindow failed(ProbeDefinition());
    PlacedProbe never(failed, true);
    EXPECT_EQ(never.RunWindow(), Response::Cancelled);
    EXPECT_FALSE(failed.CallMade("Open"));
    EXPECT_EQ(settings.ReadValue("Probe", "Maximize"), "");

    FakeWindow first(ProbeDefinition());
    PlacedProbe opened(first, false);
    first.Then([&] {
        first.PosX = 33;
        first.SizeW = 250;
    });
    first.Inject(Event::Accepted, "?CLOSE");
    opened.RunWindow();
    EXPECT_EQ(settings.ReadValue("Probe", "Maximize"), "No");
    EXPECT_EQ(settings.ReadValue("Probe", "XPos"), "33");
    EXPECT_EQ(settings.ReadValue("Probe", "Width"), "250");

    FakeWindow again(ProbeDefinition());
    PlacedProbe reopened(again, false);
    again.Then([&] {
        EXPECT_EQ(again.X(), 33);
        EXPECT_EQ(again.Width(), 250);
    });
    again.Inject(Event::CloseWindow);
    reopened.RunWindow();
    EXPECT_TRUE(again.CallMade("Position 33 20"));
    settings.Close();
}
