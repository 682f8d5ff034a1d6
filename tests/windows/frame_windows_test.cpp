#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "core/Dictionary.h"
#include "core/ProductInfo.h"
#include "core/ProgramNames.h"
#include "framework/MessageManager.h"
#include "framework/SettingsFile.h"
#include "runtime/LogicalThread.h"
#include "runtime/platform/ProfileFile.h"
#include "runtime/qt/QtWindowSystem.h"
#include "runtime/window/WindowSystem.h"
#include "tests/runtime/qt/QtTestSupport.h"
#include "tests/support/ScriptedMessageDialog.h"
#include "tests/support/TempProgramDir.h"
#include "tests/windows/WindowScript.h"
#include "windows/AboutBox.h"
#include "windows/Main.h"
#include "windows/ProcedureTable.h"

using namespace verdo;

namespace {

// The Qt window library, except that what would go to the desktop is recorded instead.
class RecordingWindowSystem : public WindowSystem {
public:
    std::unique_ptr<Window> CreateWindow(const WindowDef& definition) override { return qt.CreateWindow(definition); }
    void StartThread(std::function<void()> procedure, int stackSize) override {
        stacks.push_back(stackSize);
        qt.StartThread(std::move(procedure), stackSize);
    }
    void ShellOpen(Window*, const std::string& target) override { opened.push_back(target); }
    void CloseDown() override { qt.CloseDown(); }

    QtWindowSystem qt;
    std::vector<std::string> opened;
    std::vector<int> stacks;
};

using test::Child;
using test::Click;
using test::TopLevel;

class FrameWindows : public ::testing::Test {
protected:
    void SetUp() override {
        ComposeNames(dir.Path() + "verdo", "");
        GlobalMessages().Initialise();
        GlobalMessages().SetDialog(&dialog);
        DictionaryStartup(GlobalMessages());
        GlobalSettings().Open(SettingsFileName);
        SetWindowSystem(&system);
        RegisterProcedure("BrowseRESFile", [this] { browseThreads.push_back(CurrentThread()); });
    }
    void TearDown() override {
        RegisterProcedure("BrowseRESFile", nullptr);
        SetWindowSystem(nullptr);
        GlobalSettings().Close();
        DictionaryShutdown();
        GlobalMessages().SetDialog(nullptr);
        GlobalMessages().Shutdown();
    }

    // Runs `Main` while a script drives it, from the splash to the frame's Exit.
    void RunMain(std::vector<test::Step> steps) {
        steps.insert(steps.begin(), {[] { return TopLevel("VerdoSplash") != nullptr; },
                                     [] { Click(TopLevel("VerdoSplash")); }});
        steps.insert(steps.begin() + 1, {[] { return TopLevel("Main") != nullptr; }, [] {}});
        steps.push_back({[] { return true; }, [] { TopLevel("Main")->findChild<QAction*>("?EXIT")->trigger(); }});
        test::RunScript(Main, std::move(steps));
    }

    std::string Setting(const char* section, const char* key) {
        return ReadProfileString(section, key, "", SettingsFileName);
    }

    test::TempProgramDir dir;
    test::ScriptedMessageDialog dialog;
    RecordingWindowSystem system;
    std::vector<int> browseThreads;
};

}  // namespace

TEST_F(FrameWindows, TheFrameFollowsTheSplashShowsTheVersionAndStartsTheBrowse) {
    RunMain({
        {[] { return TopLevel("VerdoSplash") == nullptr; }, [] {}},
        {[] {
             QLabel* zone = Child<QLabel>("Main", "StatusZone2");
             return zone && zone->text() == "VERDO 2.0";
         },
         [] {}},
        {[&] { return browseThreads.size() == 1; },
         [] { TopLevel("Main")->findChild<QAction*>("?BROWSERESFILE")->trigger(); }},
        {[&] { return browseThreads.size() == 2; },
         [] { Child<QAbstractButton>("Main", "?TBBROWSERESFILE")->click(); }},
        {[&] { return browseThreads.size() == 3; },
         [] {
             QAccessibleInterface* button =
                 QAccessible::queryAccessibleInterface(Child<QAbstractButton>("Main", "?TBBROWSERESFILE"));
             EXPECT_EQ(button->text(QAccessible::Name).toStdString(), "Browse Resource Project Database")
                 << "a picture button is named by its tip";
         }},
    });
    ASSERT_EQ(browseThreads.size(), 3u);
    std::set<int> distinct(browseThreads.begin(), browseThreads.end());
    EXPECT_EQ(distinct.size(), 3u) << "each start is a thread of its own";
    EXPECT_EQ(distinct.count(1), 0u) << "never the frame's thread";
    EXPECT_EQ(system.stacks, (std::vector<int>{50000, 50000, 50000}));
}

TEST_F(FrameWindows, HelpCommandsHandTheirDocumentsToTheDesktop) {
    RunMain({{[] { return true; },
              [] {
                  QWidget* frame = TopLevel("Main");
                  frame->findChild<QAction*>("?HELPINDEX")->trigger();
                  Child<QAbstractButton>("Main", "?TBHELP")->click();
                  frame->findChild<QAction*>("?HELPEMAIL")->trigger();
                  frame->findChild<QAction*>("?HELPVISITWEBSITE")->trigger();
              }},
             {[&] { return system.opened.size() == 4; }, [] {}}});
    EXPECT_EQ(system.opened, (std::vector<std::string>{ManualFileName, ManualFileName, MakerMailTarget(),
                                                       MakerWebTarget()}));
    EXPECT_EQ(ManualFileName, dir.Path() + "VERDO.PDF");
}

TEST_F(FrameWindows, TheAboutBoxRegionsOpenTheAddressesAndCloseLeavesTheFrame) {
    RunMain({
        {[] { return true; }, [] { TopLevel("Main")->findChild<QAction*>("?HELPABOUT")->trigger(); }},
        {[] { return TopLevel("AboutBox") != nullptr; },
         [] {
             EXPECT_EQ(Child<QLabel>("AboutBox", "?PROMPT5")->text().toStdString(), ProductFullTitle);
             Click(Child<QWidget>("AboutBox", "?REGION2"));
             Click(Child<QWidget>("AboutBox", "?WEBSITE"));
         }},
        {[&] { return system.opened.size() == 2; }, [] { Child<QPushButton>("AboutBox", "?CLOSE")->click(); }},
        {[] { return TopLevel("AboutBox") == nullptr && TopLevel("Main") != nullptr; }, [] {}},
    });
    EXPECT_EQ(system.opened, (std::vector<std::string>{MakerMailTarget(), MakerWebTarget()}));
}

TEST_F(FrameWindows, TheFrameKeepsItsPlacementButNotTheSplashOrTheAboutBox) {
    RunMain({
        {[] { return true; }, [] { TopLevel("Main")->findChild<QAction*>("?HELPABOUT")->trigger(); }},
        {[] { return TopLevel("AboutBox") != nullptr; }, [] { Child<QPushButton>("AboutBox", "?CLOSE")->click(); }},
        {[] { return TopLevel("AboutBox") == nullptr; }, [] {}},
    });
    EXPECT_EQ(Setting("Main", "Maximize"), "No");
    EXPECT_NE(Setting("Main", "Width"), "");
    EXPECT_NE(Setting("Main", "XPos"), "");
    EXPECT_EQ(Setting("VerdoSplash", "Maximize"), "");
    EXPECT_EQ(Setting("AboutBox", "Maximize"), "");

    // The next start puts the frame where it was.
    GlobalSettings().WriteValue("Main", "Width", "300");
    GlobalSettings().WriteValue("Main", "Height", "200");
    RunMain({});
    EXPECT_EQ(Setting("Main", "Width"), "300") << "restored, then saved again unchanged";
    EXPECT_EQ(Setting("Main", "Height"), "200");
}
