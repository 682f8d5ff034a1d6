#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstring>
#include <string>

#include "core/Dictionary.h"
#include "core/Records.h"
#include "framework/BrowseManager.h"
#include "framework/EditInPlaceManager.h"
#include "framework/FileManager.h"
#include "runtime/window/MessageDialog.h"
#include "framework/RelationManager.h"
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

constexpr int List = 1, InsertButton = 2, ChangeButton = 3, DeleteButton = 4;

class ExtraItems : public test::ProgramFixture {
protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        WindowDef def;
        def.Controls = {Control("?BROWSE:2", ControlKind::List), Control("?INSERT:3", ControlKind::Button),
                        Control("?CHANGE:3", ControlKind::Button), Control("?DELETE:3", ControlKind::Button)};
        window = std::make_unique<FakeWindow>(def);
        window->RowsShown = 4;
        manager.SetWindow(window.get());
        project = AddProject("OWNER");
        other = AddProject("OTHER");
        AddExtraItem(other, "Elsewhere", "x");
        Relate_RESFile->Open();
        Relate_ExtraSeg->Open();
        RES.RESNumber = project;

        const TableDef& seg = ExtraSegTable();
        size_t name = static_cast<size_t>(seg.FieldIndex("SEG:SegName"));
        size_t data = static_cast<size_t>(seg.FieldIndex("SEG:SegData"));
        items.Setup(List, Relate_ExtraSeg, &manager);
        editor.Setup({name, data});
        items.EDITINPLACE = &editor;
        items.ARROWACTION = EditInPlaceManager::ArrowSavesAndMoves;
        items.INSERTCONTROL = InsertButton;
        items.CHANGECONTROL = ChangeButton;
        items.DELETECONTROL = DeleteButton;
        items.AddOrder(seg.KeyIndex("SEG:RESNumberK"));
        items.AddRange(static_cast<size_t>(seg.FieldIndex("SEG:RESNumber")), &RES,
                       RESFileTable().Fields[RESFileTable().FieldIndex("RES:RESNumber")]);
        items.AddColumn(name);
        items.AddColumn(data);
    }
    void TearDown() override {
        items.Finish();
        Relate_ExtraSeg->Close();
        Relate_RESFile->Close();
        ProgramFixture::TearDown();
    }

    void Press(int button) { items.TakeEvent(WindowEvent{Event::Accepted, button, 0}); }
    void Key(int key) { items.TakeEvent(WindowEvent{Event::AlertKey, List, key}); }
    // What the user types into the entry of a column.
    void Type(int column, const std::string& text) {
        const FieldRef& cell = window->EditedCells.at(static_cast<size_t>(column) - 1);
        AssignField(static_cast<char*>(cell.Record) + cell.Field->Offset, cell.Field->Size, text);
    }
    bool Editing() const { return editor.Editing(); }
    // The items of the project as the store holds them, in key order.
    std::string Stored() {
        std::string text;
        sqlite3* db = nullptr;
        sqlite3_open(dir.File("VERDO").c_str(), &db);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, ("SELECT SegName, SegData FROM ExtraSeg WHERE RESNumber = " + std::to_string(project) +
                                " ORDER BY rowid").c_str(), -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW)
            text += std::string(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))) + "=" +
                    reinterpret_cast<const char*>(sqlite3_column_text(st, 1)) + " ";
        sqlite3_finalize(st);
        sqlite3_close(db);
        return text;
    }
    std::string Page() const {
        std::string text;
        for (size_t row = 1; row <= items.Rows(); ++row) {
            ExtraSegRecord record;
            std::memcpy(&record, items.RowImage(row).data(), sizeof record);
            std::string name = FieldText(record.SegName);
            text += (static_cast<int>(row) == items.Highlighted() ? "[" + name + "]" : name) + " ";
        }
        return text;
    }

    std::unique_ptr<FakeWindow> window;
    WindowManager manager;
    BrowseManager items;
    EditInPlaceManager editor;
    int32_t project = 0, other = 0;
};

TEST_F(ExtraItems, AnInsertedRowIsEditedInPlaceAndTabAsksOnlyForAChangedRow) {
    items.Refresh(true);
    EXPECT_EQ(Page(), "") << "only the project's items";
    Press(InsertButton);
    ASSERT_TRUE(Editing());
    EXPECT_TRUE(window->CallMade("Edit 1 1 1")) << "the first row of an empty list, first column";
    Type(1, "Build Server");
    Key(Key::Tab);
    EXPECT_EQ(window->EditedColumn, 2);
    Type(2, "build-07");
    Key(Key::ShiftTab);
    EXPECT_EQ(window->EditedColumn, 1);
    Key(Key::ShiftTab);
    EXPECT_EQ(window->EditedColumn, 1) << "nothing before the first column";
    Key(Key::Tab);
    dialog.Expect("Save Record", ButtonYes);
    Key(Key::Tab);
    EXPECT_FALSE(Editing());
    EXPECT_EQ(Stored(), "Build Server=build-07 ");
    EXPECT_EQ(Page(), "[Build Server] ");

    // Unchanged: Tab through both columns ends without a question or a write.
    Key(BrowseManager::CtrlEnter);
    EXPECT_TRUE(window->CallMade("Post 1 3"));
    Press(ChangeButton);
    ASSERT_TRUE(Editing());
    Key(Key::Tab);
    Key(Key::Tab);
    EXPECT_FALSE(Editing());
    EXPECT_EQ(dialog.Shown().size(), 1u);

    // Changed, and the question answered Cancel: the row stays in edit mode.
    Press(ChangeButton);
    Type(2, "build-08");
    Key(Key::Tab);
    dialog.Expect("Save Record", ButtonCancel);
    Key(Key::Tab);
    EXPECT_TRUE(Editing());
    EXPECT_EQ(window->EditedColumn, 2);
    dialog.Expect("Save Record", ButtonNo);
    Key(Key::Tab);
    EXPECT_FALSE(Editing());
    EXPECT_EQ(Stored(), "Build Server=build-07 ") << "No abandons the row";
}

TEST_F(ExtraItems, EscAbandonsAndEnterSavesWhileFocusLossSavesToo) {
    AddExtraItem(project, "A", "1");
    AddExtraItem(project, "B", "2");
    items.Refresh(true);
    Press(InsertButton);
    EXPECT_EQ(Page(), "A [] B ") << "the new row below the highlighted one";
    Type(1, "Z");
    Key(Key::Escape);
    EXPECT_FALSE(Editing());
    EXPECT_EQ(Page(), "[A] B ");
    EXPECT_EQ(Stored(), "A=1 B=2 ");

    Press(ChangeButton);
    Type(1, "Alpha");
    Key(Key::Escape);
    EXPECT_EQ(Stored(), "A=1 B=2 ");
    EXPECT_EQ(FieldText(SEG.SegName), "A") << "the old values stay";

    Press(ChangeButton);
    Type(1, "Alpha");
    Key(Key::Enter);
    EXPECT_EQ(Stored(), "Alpha=1 B=2 ");

    Press(ChangeButton);
    Type(2, "two");
    items.TakeEvent(WindowEvent{Event::LoseFocus, List, 0});
    EXPECT_FALSE(Editing());
    EXPECT_EQ(Stored(), "Alpha=two B=2 ");
}

TEST_F(ExtraItems, ArrowsSaveAndGoOnInTheSameColumnUntilTheLastRow) {
    AddExtraItem(project, "A", "1");
    AddExtraItem(project, "B", "2");
    items.Refresh(true);
    Press(ChangeButton);
    Key(Key::Tab);
    Type(2, "one");
    Key(Key::Down);
    ASSERT_TRUE(Editing());
    EXPECT_EQ(window->EditedRow, 2);
    EXPECT_EQ(window->EditedColumn, 2) << "the same column on the next row";
    Type(2, "two");
    Key(Key::Down);
    EXPECT_FALSE(Editing()) << "no row after the last";
    EXPECT_EQ(Stored(), "A=one B=two ");
    Press(ChangeButton);
    Key(Key::Up);
    EXPECT_TRUE(Editing());
    EXPECT_EQ(window->EditedRow, 1);
    Key(Key::Escape);
}

TEST_F(ExtraItems, ARowTheStoreRefusesStaysInEditModeWithWhatWasTyped) {
    items.Refresh(true);
    Press(InsertButton);
    Type(1, "Locked");
    // Another program holds the store's write lock for longer than a write waits.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(dir.File("VERDO").c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    dialog.Expect("Record Insert Error", ButtonOk);
    Key(Key::Enter);
    EXPECT_TRUE(Editing());
    const FieldRef& cell = window->EditedCells.at(0);
    EXPECT_EQ(FieldText(static_cast<char*>(cell.Record) + cell.Field->Offset, cell.Field->Size), "Locked");
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    Key(Key::Enter);
    EXPECT_FALSE(Editing());
    EXPECT_EQ(Stored(), "Locked= ");
}

TEST_F(ExtraItems, WithoutButtonsNothingIsEditedAndDeleteAsksFirst) {
    AddExtraItem(project, "A", "1");
    AddExtraItem(project, "B", "2");
    items.Refresh(true);
    dialog.Expect("Confirm Delete", ButtonYes);
    Press(DeleteButton);
    EXPECT_EQ(Stored(), "B=2 ");
    EXPECT_EQ(Page(), "[B] ");

    items.INSERTCONTROL = items.CHANGECONTROL = items.DELETECONTROL = 0;
    window->Calls.clear();
    Key(Key::Insert);
    Key(Key::Delete);
    Key(Key::MouseLeftDouble);
    EXPECT_FALSE(Editing());
    EXPECT_EQ(window->Count("Post 1 0"), 0);
    EXPECT_FALSE(window->CallMade("Edit 1 1 1"));
}

}  // namespace
