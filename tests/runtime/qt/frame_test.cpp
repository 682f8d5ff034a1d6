#include <gtest/gtest.h>

#include <QClipboard>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "runtime/qt/StatusZones.h"
#include "runtime/text/Text.h"
#include "tests/runtime/qt/QtTestSupport.h"

namespace verdo {
namespace {

using test::Control;
using test::Find;

ControlDef Item(const std::string& name, ControlKind kind, const std::string& text, const std::string& parent,
                const std::string& message = {}, StandardAction action = StandardAction::None) {
    ControlDef def = Control(name, kind, 0, 0);
    def.Text = text;
    def.Parent = parent;
    def.Message = message;
    def.Action = action;
    return def;
}

WindowDef FrameDef() {
    WindowDef def;
    def.Procedure = "Main";
    def.Kind = WindowKind::Frame;
    def.Title = "VERDO";
    def.Width = 421;
    def.Height = 237;
    def.Wallpaper = "apbg.bmp";
    def.ToolbarHeight = 19;
    def.ToolbarWallpaper = "bgrnd.bmp";
    def.StatusZones = {-1, 64};
    ControlDef browse = Control("?TBBROWSERESFILE", ControlKind::ToolButton, 4, 3, 26, 14);
    browse.Picture = "browse.ico";
    browse.Tip = "Browse Resource Project Database";
    browse.Message = "Browse Resource Project Database";
    ControlDef help = Control("?TBHELP", ControlKind::ToolButton, 31, 3, 26, 14);
    help.Picture = "HELP.ICO";
    help.Tip = "Help";
    def.Controls = {
        Item("?FILEMENU", ControlKind::Menu, "&File", "", "File Menu"),
        Item("?BROWSERESFILE", ControlKind::MenuItem, "&Browse Resource Project Database", "?FILEMENU",
             "Browse Resource Project Database"),
        Item("?SEP1", ControlKind::Separator, "", "?FILEMENU"),
        Item("?EXIT", ControlKind::MenuItem, "E&xit", "?FILEMENU", "Exit VERDO", StandardAction::Close),
        Item("?EDITMENU", ControlKind::Menu, "&Edit", "", "Edit Menu"),
        Item("?COPY", ControlKind::MenuItem, "&Copy", "?EDITMENU", "Copy item to Windows Clipboard", StandardAction::Copy),
        Item("?WINDOWMENU", ControlKind::Menu, "&Window", "", "Create and Arrange windows"),
        Item("?TILE", ControlKind::MenuItem, "T&ile", "?WINDOWMENU", "Make all open windows visible", StandardAction::Tile),
        browse,
        help,
    };
    return def;
}

WindowDef ChildDef(const std::string& procedure) {
    WindowDef def;
    def.Procedure = procedure;
    def.Kind = WindowKind::MdiChild;
    def.Title = procedure + " title";
    def.Resizable = true;
    def.Width = 150;
    def.Height = 80;
    ControlDef entry = Control("?ENTRY", ControlKind::Entry, 4, 4, 80, 10);
    entry.Message = "Type here";
    ControlDef button = Control("?BUTTON", ControlKind::Button, 4, 20, 40, 14);
    button.Text = "Go";
    def.Controls = {entry, button};
    return def;
}

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        frame = system.CreateWindow(FrameDef());
        frame->SetHandler(&frameHandler);
        frame->Open();
        child = system.CreateWindow(ChildDef("BrowseRESFile"));
        child->SetHandler(&childHandler);
        child->Open();
    }
    QLabel* Zone(int n) { return Find<QLabel>(*frame, n == 1 ? "StatusZone1" : "StatusZone2"); }

    QtWindowSystem system;
    test::RecordingHandler frameHandler, childHandler;
    std::unique_ptr<Window> frame, child;
};

TEST_F(FrameTest, ChildOpensInsideTheFrameAndStatusZonesTakeTheirWidths) {
    auto* area = Find<QMdiArea>(*frame, "MdiArea");
    ASSERT_NE(area, nullptr);
    auto* sub = qobject_cast<QMdiSubWindow*>(test::AsQt(*child).RootWidget());
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->objectName(), "BrowseRESFile");
    EXPECT_EQ(sub->mdiArea(), area);
    EXPECT_TRUE(area->subWindowList().contains(sub));
    EXPECT_NE(Find(*child, "?ENTRY"), nullptr);

    ASSERT_TRUE(Zone(1) && Zone(2));
    DialogUnits units(test::AsQt(*frame).RootWidget()->font());
    EXPECT_EQ(Zone(2)->width(), units.ToPixelsX(64));
    EXPECT_GT(Zone(1)->width(), Zone(2)->width());
    frame->SetStatusText(2, "VERDO 2.0");
    EXPECT_EQ(Zone(2)->text(), "VERDO 2.0");
    // A child without a status bar of its own writes into the frame's.
    child->SetStatusText(1, "Ready");
    EXPECT_EQ(Zone(1)->text(), "Ready");

    child->Select(1);
    ASSERT_TRUE(test::SpinUntil([&] { return Zone(1)->text() == "Type here"; }));
    child->Select(2);
    ASSERT_TRUE(test::SpinUntil([&] { return Zone(1)->text() == "Ready"; }));
}

TEST_F(FrameTest, MenuItemsAreAcceptedAndShowTheirMessageWhileHighlighted) {
    auto* item = Find<QAction>(*frame, "?BROWSERESFILE");
    ASSERT_NE(item, nullptr);
    frame->SetStatusText(1, "Idle");
    item->hover();
    EXPECT_EQ(Zone(1)->text(), "Browse Resource Project Database");
    emit Find<QMenu>(*frame, "?FILEMENU")->aboutToHide();
    EXPECT_EQ(Zone(1)->text(), "Idle");

    // The mouse crossing the menu bar shows a title's message, and takes it away again.
    auto* bar = test::AsQt(*frame).RootWidget()->findChild<QMenuBar*>();
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(bar, &enter);
    Find<QMenu>(*frame, "?FILEMENU")->menuAction()->hover();
    EXPECT_EQ(Zone(1)->text(), "File Menu");
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(bar, &leave);
    EXPECT_EQ(Zone(1)->text(), "Idle");

    item->trigger();
    EXPECT_TRUE(test::SpinUntil([&] { return frameHandler.Has(Event::Accepted, 2); }));
    EXPECT_EQ(test::AsQt(*frame).RootWidget()->findChild<QMenuBar*>()->actions().size(), 3);
}

TEST_F(FrameTest, ToolbarButtonsCarryIconsTipsAndTheirMessage) {
    auto* help = Find<QToolButton>(*frame, "?TBHELP");
    auto* browse = Find<QToolButton>(*frame, "?TBBROWSERESFILE");
    ASSERT_TRUE(help && browse);
    EXPECT_EQ(help->toolTip(), "Help");
    EXPECT_EQ(browse->toolTip(), "Browse Resource Project Database");
    DialogUnits units(test::AsQt(*frame).RootWidget()->font());
    EXPECT_EQ(browse->geometry(), units.ToPixels(4, 3, 26, 14));
    EXPECT_EQ(browse->parentWidget()->height(), units.ToPixelsY(19));
    EXPECT_EQ(browse->focusPolicy(), Qt::NoFocus);

    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QApplication::sendEvent(browse, &enter);
    EXPECT_EQ(Zone(1)->text(), "Browse Resource Project Database");
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(browse, &leave);
    EXPECT_EQ(Zone(1)->text(), "");

    help->click();
    EXPECT_TRUE(test::SpinUntil([&] { return frameHandler.Has(Event::Accepted, 10); }));
}

TEST_F(FrameTest, WindowMenuListsTheOpenChildWindows) {
    auto second = system.CreateWindow(ChildDef("Second"));
    second->Open();
    auto* menu = Find<QMenu>(*frame, "?WINDOWMENU");
    emit menu->aboutToShow();
    QStringList texts;
    for (QAction* action : menu->actions()) texts << action->text();
    EXPECT_TRUE(texts.contains("&1 BrowseRESFile title"));
    EXPECT_TRUE(texts.contains("&2 Second title"));

    second->Close();
    emit menu->aboutToShow();
    texts.clear();
    for (QAction* action : menu->actions()) texts << action->text();
    EXPECT_FALSE(texts.join('|').contains("Second title"));
    EXPECT_EQ(texts.size(), 3);  // "Tile", a separator, the one child
}

TEST_F(FrameTest, CopyActsOnTheFocusedControlOfTheChild) {
    ASSERT_TRUE(test::SpinUntil([&] { return test::AsQt(*frame).RootWidget()->isActiveWindow(); }));
    auto* edit = Find<QLineEdit>(*child, "?ENTRY");
    edit->setText("copied text");
    child->Select(1);
    ASSERT_TRUE(test::SpinUntil([&] { return QApplication::focusWidget() == edit; }));
    edit->selectAll();
    QApplication::clipboard()->setText("before");
    Find<QAction>(*frame, "?COPY")->trigger();
    EXPECT_TRUE(test::SpinUntil([&] { return QApplication::clipboard()->text() == "copied text"; }));
}

TEST_F(FrameTest, ExitClosesTheChildrenFirstThenTheFrame) {
    std::vector<std::string> order;
    childHandler.Answer = [&](const WindowEvent& e) {
        if (e.Code == Event::CloseDown) order.push_back("child close-down");
        return 0;
    };
    frameHandler.Answer = [&](const WindowEvent& e) {
        if (e.Code == Event::CloseWindow) order.push_back("frame close");
        return 0;
    };
    QTimer::singleShot(0, [&] { Find<QAction>(*frame, "?EXIT")->trigger(); });
    frame->RunEventLoop();
    EXPECT_EQ(order, (std::vector<std::string>{"frame close", "child close-down"}));
    EXPECT_FALSE(child->IsOpen());
    EXPECT_FALSE(frame->IsOpen());
}

TEST_F(FrameTest, AChildRefusingToCloseDownKeepsTheFrameOpen) {
    childHandler.Answer = [](const WindowEvent& e) { return e.Code == Event::CloseDown ? 5 : 0; };
    test::AsQt(*frame).RootWidget()->close();
    ASSERT_TRUE(test::SpinUntil([&] { return childHandler.Count(Event::CloseDown) == 1; }));
    test::Drain();
    EXPECT_TRUE(child->IsOpen());
    EXPECT_TRUE(frame->IsOpen());

    childHandler.Answer = nullptr;
    system.CloseDown();
    ASSERT_TRUE(test::SpinUntil([&] { return frameHandler.Count(Event::CloseDown) == 1; }));
    EXPECT_FALSE(child->IsOpen());
    EXPECT_TRUE(test::SpinUntil([&] { return !frame->IsOpen(); }));
}

TEST_F(FrameTest, AWindowRefusingToCloseDownKeepsTheWindowsWhoseCloseDownWasStillQueued) {
    auto second = system.CreateWindow(ChildDef("Second"));
    test::RecordingHandler secondHandler;
    secondHandler.Answer = [](const WindowEvent& e) { return e.Code == Event::CloseDown ? 5 : 0; };
    second->SetHandler(&secondHandler);
    second->Open();
    system.CloseDown();
    ASSERT_TRUE(test::SpinUntil([&] { return secondHandler.Count(Event::CloseDown) == 1; }));
    test::Drain();
    EXPECT_EQ(childHandler.Count(Event::CloseDown), 0) << "the older window was asked after the refusal";
    EXPECT_TRUE(child->IsOpen());
    EXPECT_TRUE(second->IsOpen());
    EXPECT_TRUE(frame->IsOpen());
}

TEST_F(FrameTest, AChildGainsTheFocusAgainWhenAModalWindowOverItCloses) {
    ASSERT_TRUE(test::SpinUntil([&] { return childHandler.Has(Event::GainFocus, 0); }));
    int gained = childHandler.Count(Event::GainFocus);
    WindowDef def = ChildDef("Question");
    def.Kind = WindowKind::Dialog;
    auto dialog = system.CreateWindow(def);
    dialog->Open();
    ASSERT_TRUE(test::SpinUntil([&] { return childHandler.Has(Event::LoseFocus, 0); }));
    dialog->Close();
    EXPECT_TRUE(test::SpinUntil([&] { return childHandler.Count(Event::GainFocus) > gained; }))
        << "the browse brings its buttons into step when it gains the focus again";
}

TEST_F(FrameTest, SwitchingChildWindowsMovesTheFocusEventsAndEnterPressesTheDefaultButton) {
    ASSERT_TRUE(test::SpinUntil([&] { return childHandler.Has(Event::GainFocus, 0); }));
    WindowDef def = ChildDef("Second");
    def.Controls[1].Default = true;
    auto second = system.CreateWindow(def);
    test::RecordingHandler secondHandler;
    second->SetHandler(&secondHandler);
    second->Open();
    ASSERT_TRUE(test::SpinUntil([&] { return secondHandler.Has(Event::GainFocus, 0); }));
    EXPECT_TRUE(test::SpinUntil([&] { return childHandler.Has(Event::LoseFocus, 0); }));

    auto* edit = Find<QLineEdit>(*second, "?ENTRY");
    second->Select(1);
    ASSERT_TRUE(test::SpinUntil([&] { return QApplication::focusWidget() == edit; }));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(edit, &enter);
    EXPECT_TRUE(test::SpinUntil([&] { return secondHandler.Has(Event::Accepted, 2); }));
}

TEST_F(FrameTest, ChildPlacementIsRelativeToTheFrameArea) {
    child->SetPosition(10, 12);
    child->SetSize(140, 70);
    EXPECT_EQ(child->X(), 10);
    EXPECT_EQ(child->Y(), 12);
    EXPECT_EQ(child->Width(), 140);
    EXPECT_EQ(child->Height(), 70);
    DialogUnits units(test::AsQt(*child).RootWidget()->font());
    EXPECT_EQ(test::AsQt(*child).RootWidget()->pos(), QPoint(units.ToPixelsX(10), units.ToPixelsY(12)));
}

// The toolbar and the menus leave the focus in the child: the child's entry must hand
// over what is typed before the frame's action runs, and showing the fields again must
// not take it back, while a value the program put into the field itself is shown.
TEST_F(FrameTest, ToolbarAndMenuActionsAndRedisplaysFindTheTypedTextInTheField) {
    char text[24];
    AssignField(text, "stored");
    const FieldDef field{"T:Text", "Text", FieldType::String, 0, sizeof text};
    WindowDef def = ChildDef("Typing");
    def.Controls[0].Use = FieldRef{text, &field};
    auto typing = system.CreateWindow(def);
    test::RecordingHandler typingHandler;
    typing->SetHandler(&typingHandler);
    typing->Open();
    std::vector<std::string> seenByFrame;
    frameHandler.Answer = [&](const WindowEvent& e) {
        if (e.Code == Event::Accepted) seenByFrame.push_back(FieldText(text));
        return 0;
    };
    auto* edit = Find<QLineEdit>(*typing, "?ENTRY");
    typing->Select(1);
    ASSERT_TRUE(test::SpinUntil([&] { return QApplication::focusWidget() == edit; }));

    EXPECT_EQ(edit->cursorPosition(), 0) << "a text is shown from its beginning";
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClicks(edit, " one");
    Find<QToolButton>(*frame, "?TBHELP")->click();
    ASSERT_TRUE(test::SpinUntil([&] { return seenByFrame.size() == 1; }));
    QTest::keyClicks(edit, " two");
    Find<QAction>(*frame, "?BROWSERESFILE")->trigger();
    ASSERT_TRUE(test::SpinUntil([&] { return seenByFrame.size() == 2; }));
    EXPECT_EQ(seenByFrame, (std::vector<std::string>{"stored one", "stored one two"}));
    EXPECT_EQ(typingHandler.Count(Event::Accepted), 2) << "each hand-over is the entry's own accepted event";
    EXPECT_EQ(QApplication::focusWidget(), edit);

    QTest::keyClicks(edit, " three ");
    typing->Display();
    EXPECT_EQ(edit->text(), "stored one two three ") << "kept as typed, blank and caret included";
    EXPECT_EQ(FieldText(text), "stored one two three");

    QTest::keyClicks(edit, "x");
    AssignField(text, "by the program");
    typing->Display(1);
    EXPECT_EQ(edit->text(), "by the program");
    EXPECT_EQ(FieldText(text), "by the program");
}

TEST_F(FrameTest, AMenuClosedFromTheKeyboardLeavesNoMessageBehind) {
    ASSERT_TRUE(test::SpinUntil([&] { return test::AsQt(*frame).RootWidget()->isActiveWindow(); }));
    frame->SetStatusText(1, "Idle");
    const QString before = Zone(1)->text();
    auto* menu = Find<QMenu>(*frame, "?WINDOWMENU");
    QTest::keyClick(test::AsQt(*frame).RootWidget(), Qt::Key_W, Qt::AltModifier);
    ASSERT_TRUE(test::SpinUntil([&] { return menu->isVisible(); }));
    EXPECT_EQ(Zone(1)->text(), "Make all open windows visible") << "the item the keyboard highlights";
    QTest::keyClick(menu, Qt::Key_Escape);
    ASSERT_TRUE(test::SpinUntil([&] { return !menu->isVisible(); }));
    test::Drain();
    EXPECT_EQ(Zone(1)->text(), before);
}

}  // namespace
}  // namespace verdo
