#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QAccessible>
#include <QHeaderView>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <filesystem>
#include <string>
#include <vector>

#include "core/Dictionary.h"
#include "core/ProgramNames.h"
#include "core/Records.h"
#include "framework/FileManager.h"
#include "runtime/window/MessageDialog.h"
#include "framework/SettingsFile.h"
#include "runtime/platform/ProfileFile.h"
#include "runtime/qt/QtWindowSystem.h"
#include "runtime/text/Text.h"
#include "runtime/window/WindowSystem.h"
#include "tests/support/FixedClock.h"
#include "tests/support/ProgramFixture.h"
#include "tests/windows/WindowFixture.h"
#include "tests/windows/WindowScript.h"
#include "windows/BrowseRESFile.h"
#include "windows/BrowseWindowDef.h"

using namespace verdo;
using namespace verdo::test;

namespace {

class BrowseWindow : public WindowFixture {
protected:
    static QTableView* Rows() { return Child<QTableView>("BrowseRESFile", "?BROWSE:1:rows"); }
    static QPushButton* Button(const char* name) { return Child<QPushButton>("BrowseRESFile", name); }
    // One column of the list as shown, top to bottom.
    static std::vector<std::string> Column(int column) {
        std::vector<std::string> cells;
        QAbstractItemModel* model = Rows()->model();
        for (int row = 0; row < model->rowCount(); ++row)
            cells.push_back(model->data(model->index(row, column)).toString().toStdString());
        return cells;
    }
    static void Highlight(int row) { Rows()->setCurrentIndex(Rows()->model()->index(row, 0)); }
    static bool Shown() { return TopLevel("BrowseRESFile") && Rows() && Rows()->model()->rowCount() >= 0; }
    static void CloseBrowse() { Button("?CLOSE")->click(); }
    static void Refocus() { Reactivate("BrowseRESFile"); }

};

TEST_F(BrowseWindow, FourOrdersByTabAndANeverExportedProjectIsMissingByExportDate) {
    int32_t b = AddProject("BRAVO");
    int32_t a = AddProject("ALPHA");
    int32_t c = AddProject("CHARLIE");
    // Single-byte text of the upper half shows as the characters it is.
    StoreSql("UPDATE RESFile SET Description = '" + std::string(127, 'x') + "\u00e9" + std::string(127, 'y') +
             "' WHERE RESNumber = " + std::to_string(a));
    StoreSql("UPDATE RESFile SET ExportDate = 20260301, ExportTime = 9000000 WHERE RESNumber = " + std::to_string(c));
    StoreSql("UPDATE RESFile SET ExportDate = 20250101, ExportTime = 8000000 WHERE RESNumber = " + std::to_string(b));
    StoreSql("UPDATE RESFile SET EnterDate = 20240505 WHERE RESNumber = " + std::to_string(a));
    auto tab = [](int index) { Child<QTabWidget>("BrowseRESFile", "?CURRENTTAB")->setCurrentIndex(index); };
    auto names = [] { return Column(1); };
    using Names = std::vector<std::string>;
    RunScript(BrowseRESFile,
              {{[] { return Shown() && Rows()->model()->rowCount() == 3; },
                [&] {
                    EXPECT_EQ(names(), (Names{"BRAVO", "ALPHA", "CHARLIE"})) << "by number first";
                    EXPECT_EQ(Column(0), (Names{"1", "2", "3"}));
                    EXPECT_EQ(Column(2)[1], std::string(127, 'x') + "\u00e9" + std::string(127, 'y'));
                    tab(1);
                }},
               {[&] { return names() == Names{"ALPHA", "BRAVO", "CHARLIE"}; }, [&] { tab(2); }},
               {[&] { return names() == Names{"ALPHA", "BRAVO", "CHARLIE"}; }, [&] { tab(3); }},
               {[&] { return names().size() == 2; },
                [&] {
                    EXPECT_EQ(names(), (Names{"BRAVO", "CHARLIE"})) << "oldest export first, never exported absent";
                    EXPECT_EQ(Column(6).front().empty(), false);
                    tab(0);
                }},
               {[&] { return names().size() == 3; }, [] { CloseBrowse(); }}});
}

TEST_F(BrowseWindow, DeleteAsksThenRemovesTheProjectWithItsItemsAndAnEmptyListOffersOnlyInsert) {
    int32_t keep = AddProject("KEEP");
    int32_t gone = AddProject("GONE");
    for (int i = 0; i < 3; ++i) AddExtraItem(gone, "N" + std::to_string(i), "v");
    AddExtraItem(keep, "K", "v");
    RunScript(BrowseRESFile,
              {{[] { return Shown() && Rows()->model()->rowCount() == 2; },
                [&] {
                    Highlight(1);
                    dialog.Expect("Confirm Delete", ButtonNo);
                    Button("?DELETE:2")->click();
                }},
               {[&] { return dialog.Shown().size() == 1; },
                [&] {
                    dialog.Expect("Confirm Delete", ButtonYes);
                    Button("?DELETE:2")->click();
                }},
               {[] { return Rows()->model()->rowCount() == 1; },
                [&] {
                    EXPECT_EQ(Column(1), std::vector<std::string>{"KEEP"});
                    dialog.Expect("Confirm Delete", ButtonYes);
                    Button("?DELETE:2")->click();
                }},
               {[] { return Rows()->model()->rowCount() == 0; },
                [] {
                    EXPECT_TRUE(Button("?INSERT:2")->isEnabled());
                    EXPECT_FALSE(Button("?CHANGE:2")->isEnabled());
                    EXPECT_FALSE(Button("?DELETE:2")->isEnabled());
                    Refocus();
                }},
               // Export and preview follow the change button when the window gains the focus.
               {[] { return !Button("?EXPORTRESFILE")->isEnabled(); },
                [] { EXPECT_FALSE(Button("?PREVIEWRESFILE")->isEnabled()); CloseBrowse(); }}});
    EXPECT_EQ(StoreValue("SELECT COUNT(*) FROM RESFile"), "0");
    EXPECT_EQ(StoreValue("SELECT COUNT(*) FROM ExtraSeg"), "0") << "the items went with their projects";
}

TEST_F(BrowseWindow, ExportWritesTheFilesReportsAndShowsTheNewExportDateAndAVanishedProjectFailsCleanly) {
    std::string out = dir.Path() + "out";
    std::filesystem::create_directory(out);
    AddProject("APP", out);
    int32_t lost = AddProject("LOST", out);
    RunScript(BrowseRESFile,
              {{[] { return Shown() && Rows()->model()->rowCount() == 2; },
                [&] {
                    EXPECT_EQ(Column(5), (std::vector<std::string>{"", ""})) << "never exported: blank";
                    Highlight(0);
                    dialog.Expect("Resource File Exported", ButtonOk);
                    Button("?EXPORTRESFILE")->click();
                }},
               {[] { return !Column(5).front().empty(); },
                [&] {
                    EXPECT_FALSE(Column(6).front().empty()) << "the time too";
                    EXPECT_TRUE(Column(5)[1].empty());
                    Highlight(1);
                }},
               // Another program deletes the highlighted project before the export.
               {[&] { return RES.RESNumber == lost; },
                [&] {
                    StoreSql("DELETE FROM RESFile WHERE RESNumber = " + std::to_string(lost));
                    dialog.Expect("Missing Resource", ButtonOk);
                    dialog.Expect("Export has failed.", ButtonOk);
                    Button("?EXPORTRESFILE")->click();
                }},
               {[] { return Rows()->model()->rowCount() == 1; }, [] { CloseBrowse(); }}});
    EXPECT_TRUE(FileExists(out + "/APP.RES"));
    EXPECT_TRUE(FileExists(out + "/APP_RES.PRJ"));
    EXPECT_FALSE(FileExists(out + "/LOST.RES"));
    EXPECT_EQ(StoreValue("SELECT ExportDate FROM RESFile WHERE ProjectName = 'APP'"), "20261224");
}

TEST_F(BrowseWindow, DraggedWidthsComeBackAndAnUnusableSavedFormatLeavesTheDefinedOne) {
    AddProject("ONE");
    int dragged = 0;
    RunScript(BrowseRESFile, {{[] { return Shown(); },
                               [&] {
                                   QHeaderView* header = Rows()->horizontalHeader();
                                   header->resizeSection(2, header->sectionSize(2) * 2);
                                   dragged = header->sectionSize(2);
                                   CloseBrowse();
                               }}});
    std::string saved = ReadProfileString("VERDO", "BrowseFormat", "", SettingsFileName);
    ASSERT_NE(saved, BrowseListFormat);
    EXPECT_EQ(saved.substr(0, 30), BrowseListFormat.substr(0, 30)) << "only the width changed";
    EXPECT_NE(saved.find("|M~Description~@s255@"), std::string::npos);
    EXPECT_EQ(saved.find("56L(2)|M~Description"), std::string::npos);
    RunScript(BrowseRESFile, {{[] { return Shown(); },
                               [&] {
                                   EXPECT_NEAR(Rows()->horizontalHeader()->sectionSize(2), dragged, 2);
                                   CloseBrowse();
                               }}});
    EXPECT_EQ(ReadProfileString("VERDO", "BrowseFormat", "", SettingsFileName), saved) << "unchanged round trip";

    for (std::string garbage : {std::string("48R(2)|M~Resource #~C(0)@x@"), std::string(2000, '9'), std::string("~~~")}) {
        GlobalSettings().WriteValue("VERDO", "BrowseFormat", garbage);
        RunScript(BrowseRESFile, {{[] { return Shown(); },
                                   [] {
                                       EXPECT_EQ(Rows()->model()->columnCount(), 7);
                                       EXPECT_EQ(Rows()->model()->headerData(6, Qt::Horizontal).toString(),
                                                 "Export Time");
                                       CloseBrowse();
                                   }}});
        EXPECT_EQ(ReadProfileString("VERDO", "BrowseFormat", "", SettingsFileName), BrowseListFormat);
    }
}

TEST_F(BrowseWindow, OnlyOneBrowseOpensAndTheWindowIsNamedForAssistiveTools) {
    AddProject("ONE");
    bool secondReturned = false;
    RunScript(BrowseRESFile, {{[] { return Shown(); },
                               [&] {
                                   BrowseRESFile();
                                   secondReturned = true;
                                   QAccessibleInterface* list = QAccessible::queryAccessibleInterface(Rows());
                                   ASSERT_NE(list, nullptr);
                                   EXPECT_EQ(list->text(QAccessible::Name), "Browsing Records");
                                   ASSERT_NE(list->tableInterface(), nullptr);
                                   EXPECT_EQ(list->tableInterface()->columnDescription(1), "Project Name");
                                   EXPECT_EQ(list->tableInterface()->cellAt(0, 1)->text(QAccessible::Name), "ONE");
                                   QAccessibleInterface* exportButton =
                                       QAccessible::queryAccessibleInterface(Button("?EXPORTRESFILE"));
                                   EXPECT_EQ(exportButton->text(QAccessible::Name), "Export RES File");
                                   CloseBrowse();
                               }}});
    EXPECT_TRUE(secondReturned);
    // The refused start leaves the flag to the open browse, which clears it: a new one opens.
    RunScript(BrowseRESFile, {{[] { return Shown(); }, [] { CloseBrowse(); }}});
}

}  // namespace
