#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "core/Dictionary.h"
#include "core/Records.h"
#include "framework/BrowseManager.h"
#include "framework/DefaultMessages.h"
#include "framework/FileManager.h"
#include "runtime/window/MessageDialog.h"
#include "framework/RelationManager.h"
#include "framework/Requests.h"
#include "framework/ToolbarForwarder.h"
#include "framework/WindowManager.h"
#include "runtime/text/Text.h"
#include "runtime/window/EventCodes.h"
#include "runtime/window/ControlDefs.h"
#include "tests/support/FakeWindow.h"
#include "tests/support/ProgramFixture.h"

using namespace verdo;
using verdo::test::FakeWindow;

namespace {

ControlDef Control(const std::string& name, ControlKind kind) { return MakeControl(name, kind, 0, 0); }

WindowDef ListWindow() {
    WindowDef def;
    def.Procedure = "TestBrowse";
    def.Controls = {Control("?LIST", ControlKind::List), Control("?INSERT", ControlKind::Button),
                    Control("?CHANGE", ControlKind::Button), Control("?DELETE", ControlKind::Button)};
    return def;
}

constexpr int List = 1, InsertButton = 2, ChangeButton = 3, DeleteButton = 4;

// A window whose update form is a function of the test.
class TestWindow : public WindowManager {
public:
    std::function<uint8_t(uint8_t)> Form;
    std::vector<uint8_t> Requests;
    uint8_t RunProcedure(int, uint8_t request) override {
        Requests.push_back(request);
        return Form ? Form(request) : Response::Cancelled;
    }
};

class BrowsePaging : public test::ProgramFixture {
protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        window.RowsShown = 5;
        manager.SetWindow(&window);
        Relate_RESFile->Open();
    }
    void TearDown() override {
        browse.Finish();
        Relate_RESFile->Close();
        ProgramFixture::TearDown();
    }

    // Orders: 1 by name (step locator), 2 by number (thumb calculator).
    void SetUpBrowse() {
        const TableDef& t = RESFileTable();
        browse.Setup(List, Relate_RESFile, &manager);
        browse.AddOrder(t.KeyIndex("RES:ProjectNameK"));
        browse.AttachLocator(std::make_unique<StepLocator>());
        browse.LocatorSetup(0, static_cast<size_t>(t.FieldIndex("RES:ProjectName")), true);
        browse.AddOrder(t.KeyIndex("RES:RESNumberK"));
        browse.AttachLocator(std::make_unique<StepLocator>());
        browse.LocatorSetup(0, static_cast<size_t>(t.FieldIndex("RES:RESNumber")), true);
        browse.SetThumb(std::make_unique<ThumbCalculator>());
        browse.AddColumn(static_cast<size_t>(t.FieldIndex("RES:RESNumber")));
        browse.INSERTCONTROL = InsertButton;
        browse.CHANGECONTROL = ChangeButton;
        browse.DELETECONTROL = DeleteButton;
        browse.ASKPROCEDURE = 1;
    }
    void AddNumbered(int count) {
        for (int i = 1; i <= count; ++i) AddProject("P" + std::to_string(i));
    }
    // The page as project numbers, with the highlighted one in brackets.
    std::string Page() const {
        std::string text;
        for (size_t row = 1; row <= browse.Rows(); ++row) {
            RESFileRecord record;
            std::memcpy(&record, browse.RowImage(row).data(), sizeof record);
            std::string number = std::to_string(record.RESNumber);
            if (static_cast<int>(row) == browse.Highlighted()) number = "[" + number + "]";
            text += (text.empty() ? "" : " ") + number;
        }
        return text;
    }
    std::string Names() const {
        std::string text;
        for (size_t row = 1; row <= browse.Rows(); ++row) {
            RESFileRecord record;
            std::memcpy(&record, browse.RowImage(row).data(), sizeof record);
            std::string name = FieldText(record.ProjectName);
            if (static_cast<int>(row) == browse.Highlighted()) name = "[" + name + "]";
            text += (text.empty() ? "" : " ") + name;
        }
        return text;
    }
    void Send(int code, int key = 0) {
        // The user's highlight is the list's; the browse reads it from there.
        browse.TakeEvent(WindowEvent{code, List, key});
    }
    void Click(int row) {
        window.Choices[List] = row;
        Send(Event::NewSelection);
    }

    FakeWindow window{ListWindow()};
    TestWindow manager;
    BrowseManager browse;
};

TEST_F(BrowsePaging, RowsAndPagesMoveTheHighlightAndReadOnlyAtThePageEdges) {
    AddNumbered(12);
    SetUpBrowse();
    browse.SetSortOrder(2);
    browse.Refresh(true);
    EXPECT_EQ(Page(), "[1] 2 3 4 5");
    EXPECT_EQ(RES.RESNumber, 1) << "the buffer holds the highlighted record";
    for (int i = 0; i < 4; ++i) Send(Event::ScrollDown);
    EXPECT_EQ(Page(), "1 2 3 4 [5]");
    Send(Event::ScrollDown);
    EXPECT_EQ(Page(), "2 3 4 5 [6]");
    Send(Event::PageDown);
    EXPECT_EQ(Page(), "7 8 9 10 [11]");
    Send(Event::PageDown);
    EXPECT_EQ(Page(), "8 9 10 11 [12]") << "the last page stays full";
    Send(Event::PageDown);
    EXPECT_EQ(Page(), "8 9 10 11 [12]");
    Send(Event::ScrollDown);
    EXPECT_EQ(Page(), "8 9 10 11 [12]") << "nothing after the last record";
    Click(2);
    EXPECT_EQ(RES.RESNumber, 9);
    Send(Event::PageUp);
    EXPECT_EQ(Page(), "3 [4] 5 6 7") << "a page up keeps the highlighted row";
    Send(Event::PageUp);
    EXPECT_EQ(Page(), "1 [2] 3 4 5");
    Send(Event::PageUp);
    EXPECT_EQ(Page(), "[1] 2 3 4 5");
    Send(Event::ScrollUp);
    EXPECT_EQ(Page(), "[1] 2 3 4 5");
    Send(Event::ScrollBottom);
    EXPECT_EQ(Page(), "8 9 10 11 [12]");
    Send(Event::ScrollTop);
    EXPECT_EQ(Page(), "[1] 2 3 4 5");
    EXPECT_EQ(window.ListRows[List].size(), 5u) << "the list is given exactly one page";
}

TEST_F(BrowsePaging, ARefreshKeepsTheHighlightedRecordOnItsRowAndThePageFullAtEitherEnd) {
    AddNumbered(12);
    SetUpBrowse();
    browse.SetSortOrder(2);
    browse.Refresh(true);
    Send(Event::ScrollBottom);
    Click(3);
    EXPECT_EQ(Page(), "8 9 [10] 11 12");
    browse.Refresh(false);
    EXPECT_EQ(Page(), "8 9 [10] 11 12");

    // Another program removes the end of the table: the page takes rows from before.
    StoreSql("DELETE FROM RESFile WHERE RESNumber IN (11, 12)");
    browse.Refresh(false);
    EXPECT_EQ(Page(), "6 7 8 9 [10]");

    // And the start: the highlighted record moves up to fill the page.
    Send(Event::ScrollTop);
    Click(3);
    StoreSql("DELETE FROM RESFile WHERE RESNumber IN (1, 2)");
    browse.Refresh(false);
    EXPECT_EQ(Page(), "[3] 4 5 6 7");

    // A highlighted record that has gone: its successor takes its row.
    Click(2);
    StoreSql("DELETE FROM RESFile WHERE RESNumber = 4");
    browse.Refresh(false);
    EXPECT_EQ(Page(), "3 [5] 6 7 8");

    // Without RETAINROW the highlighted record becomes the first row.
    browse.RETAINROW = false;
    browse.Refresh(false);
    EXPECT_EQ(Page(), "[5] 6 7 8 9");
}

TEST_F(BrowsePaging, TheThumbFindsNumbersByItsCalculatorAndOtherwiseTurnsPages) {
    AddNumbered(101);
    SetUpBrowse();
    browse.SetSortOrder(2);
    browse.Refresh(true);
    auto drag = [&](int percent) {
        window.DraggedThumb = percent;
        Send(Event::ScrollDrag);
        return RES.RESNumber;
    };
    EXPECT_EQ(drag(50), 51);
    EXPECT_EQ(window.Thumbs[List], 50);
    EXPECT_EQ(drag(99), 100);
    EXPECT_EQ(drag(100), 101);
    EXPECT_EQ(Page(), "97 98 99 100 [101]");
    EXPECT_EQ(window.Thumbs[List], 100);
    EXPECT_EQ(drag(1), 1);
    EXPECT_EQ(drag(2), 3);
    EXPECT_EQ(drag(0), 1);
    EXPECT_EQ(window.Thumbs[List], 0);

    // By name there is no calculator: the thumb only turns pages and tells the ends.
    browse.SetSortOrder(1);
    Send(Event::ScrollTop);
    EXPECT_EQ(window.Thumbs[List], 0);
    drag(70);
    EXPECT_EQ(window.Thumbs[List], 50);
    std::string page = Names();
    drag(50);
    EXPECT_EQ(Names(), page) << "the middle is neither up nor down";
    drag(30);
    EXPECT_EQ(window.Thumbs[List], 0);
    drag(100);
    EXPECT_EQ(window.Thumbs[List], 100);
}

TEST_F(BrowsePaging, TheLocatorJumpsByFirstLetterWithoutCaseAndStaysWhenTheRowAlreadyFits) {
    for (const char* name : {"Alpha", "apple", "Beta", "bravo", "Charlie", "delta"}) AddProject(name);
    SetUpBrowse();
    browse.SetSortOrder(1);
    browse.Refresh(true);
    EXPECT_EQ(Names(), "[Alpha] apple Beta bravo Charlie");
    Send(Event::AlertKey, Key::CharFlag | 'b');
    EXPECT_EQ(Names(), "apple [Beta] bravo Charlie delta") << "found, and the page stays full";
    Click(3);
    Send(Event::AlertKey, Key::CharFlag | 'B');
    EXPECT_EQ(FieldText(RES.ProjectName), "bravo") << "the row already starts with the letter";
    Send(Event::AlertKey, Key::CharFlag | 'd');
    EXPECT_EQ(FieldText(RES.ProjectName), "delta");
    Send(Event::AlertKey, Key::CharFlag | 'z');
    EXPECT_EQ(FieldText(RES.ProjectName), "delta") << "past the end the last record stays";
    Send(Event::AlertKey, Key::CharFlag | 'a');
    EXPECT_EQ(FieldText(RES.ProjectName), "Alpha");
}

TEST_F(BrowsePaging, OnTheNumberOrderATypedDigitFindsTheFirstNumberAtOrAboveIt) {
    AddNumbered(12);
    StoreSql("DELETE FROM RESFile WHERE RESNumber IN (4, 5)");
    SetUpBrowse();
    browse.SetSortOrder(2);
    browse.Refresh(true);
    auto typed = [&](char c) {
        Send(Event::AlertKey, Key::CharFlag | static_cast<unsigned char>(c));
        return RES.RESNumber;
    };
    EXPECT_EQ(typed('3'), 3);
    EXPECT_EQ(typed('4'), 6) << "no project 4 or 5";
    EXPECT_EQ(typed('9'), 9);
    EXPECT_EQ(typed('0'), 1);
    EXPECT_EQ(typed('1'), 1) << "the row already starts with the digit";
    EXPECT_EQ(typed('2'), 2);
    EXPECT_EQ(typed('x'), 2) << "not a digit: the list stays";
    Send(Event::ScrollBottom);
    ASSERT_EQ(RES.RESNumber, 12);
    EXPECT_EQ(typed('1'), 12) << "12 starts with 1 as well";
}

TEST_F(BrowsePaging, ARangeShowsOnlyTheRecordsOfItsValue) {
    int32_t first = AddProject("ONE");
    int32_t second = AddProject("TWO");
    int32_t third = AddProject("THREE");
    for (int i = 0; i < 3; ++i) AddExtraItem(first, "F" + std::to_string(i), "x");
    for (int i = 0; i < 7; ++i) AddExtraItem(second, "S" + std::to_string(i), "y");
    AddExtraItem(third, "T", "z");
    Relate_ExtraSeg->Open();
    const TableDef& seg = ExtraSegTable();
    browse.Setup(List, Relate_ExtraSeg, &manager);
    browse.AddOrder(seg.KeyIndex("SEG:RESNumberK"));
    browse.AddRange(static_cast<size_t>(seg.FieldIndex("SEG:RESNumber")), &RES,
                    RESFileTable().Fields[RESFileTable().FieldIndex("RES:RESNumber")]);
    auto names = [&] {
        std::string text;
        for (size_t row = 1; row <= browse.Rows(); ++row) {
            ExtraSegRecord record;
            std::memcpy(&record, browse.RowImage(row).data(), sizeof record);
            text += FieldText(record.SegName) + " ";
        }
        return text;
    };
    RES.RESNumber = second;
    browse.Refresh(true);
    EXPECT_EQ(names(), "S0 S1 S2 S3 S4 ");
    Send(Event::ScrollBottom);
    EXPECT_EQ(names(), "S2 S3 S4 S5 S6 ");
    Send(Event::PageDown);
    EXPECT_EQ(names(), "S2 S3 S4 S5 S6 ");
    RES.RESNumber = first;
    EXPECT_TRUE(browse.NeedsRefresh()) << "another range value";
    browse.Refresh(false);
    EXPECT_EQ(names(), "F0 F1 F2 ");
    Send(Event::ScrollUp);
    Send(Event::PageUp);
    EXPECT_EQ(names(), "F0 F1 F2 ");
    RES.RESNumber = 99;
    browse.Refresh(false);
    EXPECT_EQ(browse.Rows(), 0u);
    browse.Finish();
    Relate_ExtraSeg->Close();
}

TEST_F(BrowsePaging, ADescendingOrderListsItsKeyFromTheEndAndWalksBackAlongIt) {
    AddNumbered(12);
    const TableDef& t = RESFileTable();
    browse.Setup(List, Relate_RESFile, &manager);
    browse.AddOrder(t.KeyIndex("RES:RESNumberK"));
    browse.SetDescending();
    browse.Refresh(true);
    EXPECT_EQ(Page(), "[12] 11 10 9 8");
    for (int i = 0; i < 5; ++i) Send(Event::ScrollDown);
    EXPECT_EQ(Page(), "11 10 9 8 [7]") << "a row read below the page's edge";
    Send(Event::PageDown);
    EXPECT_EQ(Page(), "6 5 4 3 [2]");
    Send(Event::PageDown);
    EXPECT_EQ(Page(), "5 4 3 2 [1]") << "the last page stays full";
    Send(Event::ScrollUp);
    Send(Event::ScrollUp);
    Send(Event::ScrollUp);
    Send(Event::ScrollUp);
    Send(Event::ScrollUp);
    EXPECT_EQ(Page(), "[6] 5 4 3 2");
    Click(3);
    browse.Refresh(false);
    EXPECT_EQ(Page(), "6 5 [4] 3 2") << "a reload keeps the highlighted record on its row";
    StoreSql("DELETE FROM RESFile WHERE RESNumber = 4");
    browse.Refresh(false);
    EXPECT_EQ(Page(), "6 5 [3] 2 1") << "the record below a vanished one takes its row";
    Send(Event::ScrollTop);
    EXPECT_EQ(Page(), "[12] 11 10 9 8");
    Send(Event::ScrollBottom);
    EXPECT_EQ(Page(), "6 5 3 2 [1]");
}

TEST_F(BrowsePaging, ADescendingRangeListsItsRowsNewestFirstAndNoneOfItsNeighbours) {
    int32_t first = AddProject("ONE");
    int32_t second = AddProject("TWO");
    int32_t third = AddProject("THREE");
    for (int i = 0; i < 7; ++i) {
        AddExtraItem(first, "F" + std::to_string(i), "x");
        AddExtraItem(second, "S" + std::to_string(i), "y");
        AddExtraItem(third, "T" + std::to_string(i), "z");
    }
    Relate_ExtraSeg->Open();
    const TableDef& seg = ExtraSegTable();
    browse.Setup(List, Relate_ExtraSeg, &manager);
    browse.AddOrder(seg.KeyIndex("SEG:RESNumberK"));
    browse.SetDescending();
    browse.AddRange(static_cast<size_t>(seg.FieldIndex("SEG:RESNumber")), &RES,
                    RESFileTable().Fields[RESFileTable().FieldIndex("RES:RESNumber")]);
    auto names = [&] {
        std::string text;
        for (size_t row = 1; row <= browse.Rows(); ++row) {
            ExtraSegRecord record;
            std::memcpy(&record, browse.RowImage(row).data(), sizeof record);
            std::string name = FieldText(record.SegName);
            text += (static_cast<int>(row) == browse.Highlighted() ? "[" + name + "]" : name) + " ";
        }
        return text;
    };
    RES.RESNumber = second;
    browse.Refresh(true);
    EXPECT_EQ(names(), "[S6] S5 S4 S3 S2 ");
    Send(Event::PageDown);
    EXPECT_EQ(names(), "[S4] S3 S2 S1 S0 ") << "the last page stays full";
    Send(Event::ScrollBottom);
    EXPECT_EQ(names(), "S4 S3 S2 S1 [S0] ");
    Send(Event::ScrollDown);
    EXPECT_EQ(names(), "S4 S3 S2 S1 [S0] ") << "the first project's rows lie beyond";
    Click(2);
    browse.Refresh(false);
    EXPECT_EQ(names(), "S4 [S3] S2 S1 S0 ");
    Send(Event::ScrollTop);
    Send(Event::ScrollUp);
    EXPECT_EQ(names(), "[S6] S5 S4 S3 S2 ") << "the third project's rows lie above";
    RES.RESNumber = third;
    browse.Refresh(false);
    EXPECT_EQ(names(), "[T6] T5 T4 T3 T2 ");
    Send(Event::ScrollBottom);
    EXPECT_EQ(names(), "T4 T3 T2 T1 [T0] ");
    browse.Finish();
    Relate_ExtraSeg->Close();
}

TEST_F(BrowsePaging, RequestsOpenTheFormOnAFreshRecordAndHighlightWhatItStored) {
    AddNumbered(3);
    SetUpBrowse();
    browse.SetSortOrder(1);
    browse.Refresh(true);
    Click(2);

    // Insert: the form gets a primed project with its reserved number.
    int32_t reserved = 0;
    manager.Form = [&](uint8_t) {
        reserved = RES.RESNumber;
        EXPECT_EQ(FieldText(RES.LangID), "0409");
        AssignField(RES.ProjectName, "NEW");
        EXPECT_EQ(Access_RESFile->Insert(), LevelNone);
        return Response::Completed;
    };
    browse.TakeEvent(WindowEvent{Event::Accepted, InsertButton, 0});
    EXPECT_EQ(reserved, 4);
    EXPECT_EQ(Names(), "[NEW] P1 P2 P3") << "the new record, on the row that was highlighted";

    // Change: the form sees the record as the store holds it now, not the row's copy.
    Click(3);
    StoreSql("UPDATE RESFile SET Description = 'changed outside' WHERE ProjectName = 'P2'");
    manager.Form = [&](uint8_t) {
        EXPECT_EQ(FieldText(RES.Description), "changed outside");
        AssignField(RES.ProjectName, "A2");
        EXPECT_EQ(Relate_RESFile->Update(), LevelNone);
        return Response::Completed;
    };
    browse.TakeEvent(WindowEvent{Event::Accepted, ChangeButton, 0});
    EXPECT_EQ(Names(), "[A2] NEW P1 P3") << "the changed record moved with its new name";

    // A record another program deleted is not handed to the form.
    Click(4);
    StoreSql("DELETE FROM RESFile WHERE ProjectName = 'P3'");
    dialog.Expect("Record Retrieval Error", ButtonOk);
    manager.Requests.clear();
    browse.TakeEvent(WindowEvent{Event::Accepted, ChangeButton, 0});
    EXPECT_TRUE(manager.Requests.empty());
    EXPECT_EQ(Names(), "A2 NEW [P1]");

    // A cancelled insert gives its number back and leaves the page as it was.
    manager.Form = [&](uint8_t) {
        EXPECT_EQ(Relate_RESFile->CancelAutoNumber(), LevelNone);
        return Response::Cancelled;
    };
    browse.TakeEvent(WindowEvent{Event::Accepted, InsertButton, 0});
    EXPECT_EQ(Names(), "A2 NEW [P1]");
    EXPECT_EQ(StoreValue("SELECT COUNT(*) FROM RESFile"), "3");
}

TEST_F(BrowsePaging, KeysAndThePopupMenuPressTheButtonsThatCanAct) {
    SetUpBrowse();
    browse.SetSortOrder(1);
    browse.RegisterAlertKeys();
    browse.Refresh(true);
    EXPECT_TRUE(window.CallMade("Enable 3 0")) << "nothing to change in an empty list";
    EXPECT_TRUE(window.CallMade("Enable 4 0"));

    window.PopupAnswers = {2, 1};
    Send(Event::AlertKey, Key::MouseRightUp);
    ASSERT_EQ(window.Popups.size(), 1u);
    const std::vector<PopupEntry>& entries = window.Popups[0];
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].Text, "&Insert");
    EXPECT_TRUE(entries[0].Enabled);
    EXPECT_EQ(entries[1].Text, "&Change");
    EXPECT_FALSE(entries[1].Enabled);
    EXPECT_EQ(entries[2].Text, "&Delete");
    EXPECT_FALSE(window.CallMade("Post 1 3")) << "a disabled entry presses nothing";
    Send(Event::AlertKey, Key::MouseRightUp);
    EXPECT_TRUE(window.CallMade("Post 1 2"));

    AddProject("ONE");
    browse.Refresh(false);
    EXPECT_TRUE(window.CallMade("Enable 3 1"));
    Send(Event::AlertKey, Key::Delete);
    EXPECT_TRUE(window.CallMade("Post 1 4"));
    Send(Event::AlertKey, BrowseManager::CtrlEnter);
    Send(Event::AlertKey, Key::MouseLeftDouble);
    EXPECT_EQ(window.Count("Post 1 3"), 2);
    Send(Event::AlertKey, BrowseManager::ShiftEnter);
    EXPECT_EQ(window.Count("Post 1 0"), 0) << "no view button, nothing pressed";
}

}  // namespace

namespace {

TEST_F(BrowsePaging, TheFramesToolbarButtonsActOnTheBrowseOfItsTargetWindow) {
    AddNumbered(12);
    SetUpBrowse();
    ToolbarForwarder toolbar;
    manager.Start();
    manager.AttachToolbar(&toolbar);
    browse.AttachToolbar(&toolbar);
    browse.SetSortOrder(2);
    browse.Refresh(true);
    EXPECT_EQ(toolbar.Tip(BrowseManager::ToolbarInsert), "Insert a new Record");
    EXPECT_EQ(toolbar.Tip(BrowseManager::ToolbarPageUp), "Go to the Prior Page");
    EXPECT_EQ(toolbar.Tip(BrowseManager::ToolbarUp), "Go to the Prior Record");
    toolbar.Press(BrowseManager::ToolbarDown);
    EXPECT_EQ(Page(), "1 [2] 3 4 5");
    toolbar.Press(BrowseManager::ToolbarBottom);
    EXPECT_EQ(Page(), "8 9 10 11 [12]");
    toolbar.Press(BrowseManager::ToolbarPageUp);
    EXPECT_EQ(Page(), "3 4 5 6 [7]");
    toolbar.Press(BrowseManager::ToolbarTop);
    EXPECT_EQ(Page(), "[1] 2 3 4 5");
    toolbar.Press(BrowseManager::ToolbarChange);
    EXPECT_TRUE(window.CallMade("Post 1 3")) << "the change button is pressed";
    manager.Finish();
    EXPECT_EQ(toolbar.Target(), nullptr) << "a finished window is no target";
}

}  // namespace
