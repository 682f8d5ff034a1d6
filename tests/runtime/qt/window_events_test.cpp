#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include "runtime/LogicalThread.h"
#include "tests/runtime/qt/QtTestSupport.h"

namespace verdo {
namespace {

using test::Control;
using test::Find;

WindowDef SmallDialog(const std::string& procedure, WindowKind kind = WindowKind::Dialog) {
    WindowDef def;
    def.Procedure = procedure;
    def.Kind = kind;
    def.Title = procedure;
    def.Width = 120;
    def.Height = 60;
    ControlDef label = Control("?LABEL", ControlKind::Prompt, 4, 4);
    label.Text = "Name:";
    ControlDef entry = Control("?ENTRY", ControlKind::Entry, 30, 4, 60, 10);
    ControlDef ok = Control("?OK", ControlKind::Button, 10, 40, 40, 14);
    ok.Text = "OK";
    ControlDef close = Control("?CLOSE", ControlKind::Button, 60, 40, 40, 14);
    close.Text = "Close";
    close.Action = StandardAction::Close;
    def.Controls = {label, entry, ok, close};
    return def;
}

TEST(QtWindowEvents, OpenComesFirstThenButtonsAndTheCloseBoxWhichTheHandlerMayRefuse) {
    QtWindowSystem system;
    auto window = system.CreateWindow(SmallDialog("Events"));
    test::RecordingHandler handler;
    int refusals = 0;
    handler.Answer = [&](const WindowEvent& e) {
        if (e.Code == Event::CloseWindow && refusals < 1) {
            ++refusals;
            // Refused once; the user tries again.
            QTimer::singleShot(0, [&] { test::AsQt(*window).RootWidget()->close(); });
            return 5;
        }
        return 0;
    };
    window->SetHandler(&handler);
    window->Open();
    QTimer::singleShot(0, [&] { Find<QPushButton>(*window, "?OK")->click(); });
    QTimer::singleShot(0, [&] { test::AsQt(*window).RootWidget()->close(); });
    window->RunEventLoop();

    ASSERT_FALSE(handler.Events.empty());
    EXPECT_EQ(handler.Events.front().Code, Event::OpenWindow);
    EXPECT_EQ(handler.Codes({Event::OpenWindow, Event::Accepted, Event::CloseWindow}),
              (std::vector<int>{Event::OpenWindow, Event::Accepted, Event::CloseWindow, Event::CloseWindow}));
    EXPECT_TRUE(handler.Has(Event::Accepted, 3));
    EXPECT_FALSE(window->IsOpen());
    EXPECT_FALSE(test::AsQt(*window).RootWidget()->isVisible());
}

TEST(QtWindowEvents, RefusedCloseKeepsTheWindowOpen) {
    QtWindowSystem system;
    auto window = system.CreateWindow(SmallDialog("Stays"));
    test::RecordingHandler handler;
    handler.Answer = [](const WindowEvent& e) { return e.Code == Event::CloseWindow ? 5 : 0; };
    window->SetHandler(&handler);
    window->Open();
    test::AsQt(*window).RootWidget()->close();
    ASSERT_TRUE(test::SpinUntil([&] { return handler.Count(Event::CloseWindow) == 1; }));
    test::Drain();
    EXPECT_TRUE(window->IsOpen());
    EXPECT_TRUE(test::AsQt(*window).RootWidget()->isVisible());
}

TEST(QtWindowEvents, CloseActionRunsAfterTheHandlerAcceptedTheButton) {
    QtWindowSystem system;
    auto window = system.CreateWindow(SmallDialog("Action"));
    test::RecordingHandler handler;
    window->SetHandler(&handler);
    window->Open();
    QTimer::singleShot(0, [&] { Find<QPushButton>(*window, "?CLOSE")->click(); });
    window->RunEventLoop();
    EXPECT_EQ(handler.Codes({Event::Accepted, Event::CloseWindow}), (std::vector<int>{Event::Accepted, Event::CloseWindow}));
    EXPECT_TRUE(handler.Has(Event::Accepted, 4));
    EXPECT_FALSE(window->IsOpen());
}

TEST(QtWindowEvents, OneEventAtATimeWhileTheHandlerRunsANestedModalLoop) {
    QtWindowSystem system;
    auto owner = system.CreateWindow(SmallDialog("Owner", WindowKind::MdiChild));
    auto other = system.CreateWindow(SmallDialog("Other", WindowKind::MdiChild));
    test::RecordingHandler ownerHandler, otherHandler, modalHandler;
    int depth = 0, deepest = 0;
    bool otherServedMeanwhile = false;
    std::vector<std::string> order;
    ownerHandler.Answer = [&](const WindowEvent& e) {
        deepest = std::max(deepest, ++depth);
        if (e.Code == Event::Accepted) {
            order.push_back("accepted start");
            auto modal = system.CreateWindow(SmallDialog("Modal"));
            modalHandler.Answer = [&](const WindowEvent& m) {
                if (m.Code == Event::OpenWindow) {
                    // Both other windows get events now; only one of them may take it.
                    owner->PostEvent(Event::Timer);
                    other->PostEvent(Event::Timer);
                }
                if (m.Code == Event::Timer) otherServedMeanwhile = otherHandler.Count(Event::Timer) == 1;
                return 0;
            };
            modal->SetHandler(&modalHandler);
            modal->Open();
            EXPECT_TRUE(test::AsQt(*modal).RootWidget()->isModal());
            QTimer::singleShot(20, [&] { modal->PostEvent(Event::Timer); });
            QTimer::singleShot(40, [&] { modal->PostEvent(Event::CloseWindow); });
            modal->RunEventLoop();
            order.push_back("accepted end");
        }
        if (e.Code == Event::Timer) order.push_back("timer");
        --depth;
        return 0;
    };
    owner->SetHandler(&ownerHandler);
    other->SetHandler(&otherHandler);
    owner->Open();
    other->Open();
    owner->PostEvent(Event::Accepted, 3);
    ASSERT_TRUE(test::SpinUntil([&] { return ownerHandler.Count(Event::Timer) == 1; }));
    EXPECT_EQ(deepest, 1);
    EXPECT_TRUE(otherServedMeanwhile);
    EXPECT_EQ(order, (std::vector<std::string>{"accepted start", "accepted end", "timer"}));
    EXPECT_EQ(modalHandler.Events.front().Code, Event::OpenWindow);
}

TEST(QtWindowEvents, AlertKeysArriveWithTheirCodesAndOthersPassThrough) {
    QtWindowSystem system;
    auto window = system.CreateWindow(SmallDialog("Keys"));
    test::RecordingHandler handler;
    window->SetHandler(&handler);
    window->Open();
    int entry = window->ControlNumber("?ENTRY");
    window->SetAlertKey(entry, Key::CtrlFlag | Key::Apostrophe);
    window->SetAlertKey(0, Key::F1);
    window->SetAlertKey(0, Key::MouseLeft);
    window->SetAlertKey(0, Key::MouseLeftDouble);
    window->SetAlertKey(0, Key::MouseRight);
    auto* edit = Find<QLineEdit>(*window, "?ENTRY");
    edit->setFocus();
    ASSERT_TRUE(test::SpinUntil([&] { return QApplication::focusWidget() == edit; }));

    QKeyEvent history(QEvent::KeyPress, Qt::Key_Apostrophe, Qt::ControlModifier, QStringLiteral("'"));
    QApplication::sendEvent(edit, &history);
    QKeyEvent help(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(edit, &help);
    QKeyEvent letter(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QApplication::sendEvent(edit, &letter);
    EXPECT_EQ(edit->text(), "a");  // not alerted: the entry has it

    auto* label = Find<QLabel>(*window, "?LABEL");
    QPoint at = label->rect().center();
    QMouseEvent left(QEvent::MouseButtonPress, at, label->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent twice(QEvent::MouseButtonDblClick, at, label->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent right(QEvent::MouseButtonPress, at, label->mapToGlobal(at), Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QWidget* client = label->parentWidget();
    QApplication::sendEvent(client, &left);
    QApplication::sendEvent(client, &twice);
    QApplication::sendEvent(client, &right);

    ASSERT_TRUE(test::SpinUntil([&] { return handler.Count(Event::AlertKey) == 5; }));
    std::vector<std::pair<int, int>> alerts;
    for (const WindowEvent& e : handler.Events)
        if (e.Code == Event::AlertKey) alerts.emplace_back(e.Control, e.Key);
    EXPECT_EQ(alerts, (std::vector<std::pair<int, int>>{{entry, 0x2DE}, {0, Key::F1}, {0, Key::MouseLeft},
                                                          {0, Key::MouseLeftDouble}, {0, Key::MouseRight}}));
}

TEST(QtWindowEvents, TimerPostsTimerEventsUntilStopped) {
    QtWindowSystem system;
    auto window = system.CreateWindow(SmallDialog("Timed"));
    test::RecordingHandler handler;
    window->SetHandler(&handler);
    window->Open();
    window->SetTimer(1);
    ASSERT_TRUE(test::SpinUntil([&] { return handler.Count(Event::Timer) >= 2; }));
    window->SetTimer(0);
    test::Drain();
    int stopped = handler.Count(Event::Timer);
    test::SpinUntil([] { return false; }, 60);
    EXPECT_EQ(handler.Count(Event::Timer), stopped);
}

TEST(QtWindowEvents, FocusMovesPostSelectedAndALeftChangedEntryIsAccepted) {
    QtWindowSystem system;
    auto window = system.CreateWindow(SmallDialog("Focus"));
    test::RecordingHandler handler;
    window->SetHandler(&handler);
    window->Open();
    ASSERT_TRUE(test::SpinUntil([&] { return test::AsQt(*window).RootWidget()->isActiveWindow(); }));
    auto* edit = Find<QLineEdit>(*window, "?ENTRY");
    edit->setFocus();
    ASSERT_TRUE(test::SpinUntil([&] { return handler.Has(Event::Selected, 2); }));
    EXPECT_EQ(window->FocusedControl(), 2);

    // Leaving unchanged is no acceptance; an entry without a field has nothing to take.
    window->Select(3);
    ASSERT_TRUE(test::SpinUntil([&] { return handler.Has(Event::Selected, 3); }));
    EXPECT_FALSE(handler.Has(Event::Accepted, 2));
    EXPECT_TRUE(handler.Has(Event::GainFocus, 0));
}

TEST(QtWindowEvents, StartedProceduresRunLaterUnderThreadNumbersOfTheirOwn) {
    QtWindowSystem system;
    int caller = CurrentThread();
    std::vector<int> threads;
    system.StartThread([&] { threads.push_back(CurrentThread()); }, 50000);
    system.StartThread([&] { threads.push_back(CurrentThread()); }, 50000);
    EXPECT_TRUE(threads.empty());
    ASSERT_TRUE(test::SpinUntil([&] { return threads.size() == 2; }));
    EXPECT_NE(threads[0], caller);
    EXPECT_NE(threads[1], caller);
    EXPECT_NE(threads[0], threads[1]);
    EXPECT_EQ(CurrentThread(), caller);
}

TEST(QtWindowEvents, HandlersRunUnderTheThreadThatCreatedTheWindow) {
    QtWindowSystem system;
    std::unique_ptr<Window> window;
    int creator = 0;
    {
        ThreadScope scope(NewThreadNumber());
        creator = CurrentThread();
        window = system.CreateWindow(SmallDialog("Threaded"));
    }
    int seen = 0;
    test::RecordingHandler handler;
    handler.Answer = [&](const WindowEvent&) {
        seen = CurrentThread();
        return 0;
    };
    window->SetHandler(&handler);
    window->Open();
    ASSERT_TRUE(test::SpinUntil([&] { return seen != 0; }));
    EXPECT_EQ(seen, creator);
    EXPECT_NE(CurrentThread(), creator);
}

}  // namespace
}  // namespace verdo
