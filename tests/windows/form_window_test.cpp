#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>

#include "core/Dictionary.h"
#include "core/ProgramNames.h"
#include "core/Records.h"
#include "export/VersionResource.h"
#include "framework/FileManager.h"
#include "runtime/window/MessageDialog.h"
#include "framework/RelationManager.h"
#include "framework/Requests.h"
#include "framework/SettingsFile.h"
#include "runtime/qt/QtWindowSystem.h"
#include "runtime/text/Text.h"
#include "runtime/window/WindowSystem.h"
#include "tests/support/FixedClock.h"
#include "tests/support/ProgramFixture.h"
#include "tests/support/ScriptedFileDialogs.h"
#include "tests/support/StoreClient.h"
#include "tests/support/TempProgramDir.h"
#include "tests/windows/WindowFixture.h"
#include "tests/windows/WindowScript.h"
#include "windows/BrowseRESFile.h"
#include "windows/UpdateRESFile.h"

using namespace verdo;
using namespace verdo::test;

namespace {

constexpr const char* Form = "UpdateRESFile";

template <typename T = QWidget>
T* In(const char* name) {
    return Child<T>(Form, name);
}
// Shown and active: the user works in it.
bool FormShown() { return TopLevel(Form) != nullptr && QApplication::activeWindow() == TopLevel(Form); }
bool FormClosed() { return TopLevel(Form) == nullptr; }
void Press(const char* button) { In<QPushButton>(button)->click(); }
// Types into an entry and leaves it, as the user does before turning to anything else.
void SetText(const char* entry, const QString& text) {
    In<QLineEdit>(entry)->setFocus();
    In<QLineEdit>(entry)->setText(text);
    In<QPushButton>("?OK")->setFocus();
}
void SetSpin(const char* spin, int value) {
    In<QSpinBox>(spin)->setFocus();
    In<QSpinBox>(spin)->setValue(value);
    In<QPushButton>("?OK")->setFocus();
}
QString Text(const char* entry) { return In<QLineEdit>(entry)->text(); }
void Tab(int index) { In<QTabWidget>("?SHEET1")->setCurrentIndex(index); }
void Key(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &press);
}
void Type(QWidget* target, const QString& text) {
    for (QChar c : text) Key(target, 0, Qt::NoModifier, QString(c));
}

class FormWindow : public WindowFixture {
protected:
    // Opens the form on a project for a request, as the browse would, while the script runs.
    uint8_t RunForm(int32_t project, uint8_t request, std::vector<Step> steps) {
        uint8_t response = 0;
        RunScript(
            [&] {
                Relate_RESFile->Open();
                if (request == Request::Insert) {
                    Access_RESFile->PrimeRecord();
                } else {
                    ClearRecord(RESFileTable(), &RES);
                    RES.RESNumber = project;
                    EXPECT_EQ(Access_RESFile->TryFetch(RESFileTable().KeyIndex("RES:RESNumberK")), LevelNone);
                }
                GlobalRequest = request;
                UpdateRESFile();
                response = GlobalResponse;
                Relate_RESFile->Close();
            },
            std::move(steps));
        return response;
    }
    std::string Stored(const std::string& column, int32_t project) {
        return StoreValue("SELECT " + column + " FROM RESFile WHERE RESNumber = " + std::to_string(project));
    }

    ScriptedFileDialogs fileDialogs;
};

TEST_F(FormWindow, TitlesAndTheLastSavedDateDecideWhetherCancelAsks) {
    int32_t old = AddProject("OLD");
    int32_t fresh = AddProject("FRESH");
    StoreSql("UPDATE RESFile SET LastSaved = 20260102 WHERE RESNumber = " + std::to_string(old));
    StoreSql("UPDATE RESFile SET LastSaved = 20261224 WHERE RESNumber = " + std::to_string(fresh));

    uint8_t response = RunForm(old, Request::Change,
                               {{FormShown,
                                 [&] {
                                     EXPECT_EQ(TopLevel(Form)->windowTitle(), "Changing a Resource Project Record");
                                     EXPECT_FALSE(Text("?TEMPLASTSAVED").isEmpty()) << "the date it had";
                                     EXPECT_EQ(Text("?RES:RESNUMBER"), QString::number(old));
                                     dialog.Expect("Save Record", ButtonNo);
                                     Press("?CANCEL");
                                 }}});
    EXPECT_EQ(response, Response::Cancelled);
    EXPECT_EQ(dialog.Shown().size(), 1u) << "a project not saved today counts as changed";
    EXPECT_EQ(Stored("LastSaved", old), "20260102");

    dialog.Clear();
    RunForm(fresh, Request::Change, {{FormShown, [] { Press("?CANCEL"); }}});
    EXPECT_TRUE(dialog.Shown().empty()) << "saved today and untouched: no question";

    response = RunForm(old, Request::Change, {{FormShown, [] {
                                                   SetText("?RES:DESCRIPTION", "now described");
                                                   Press("?OK");
                                               }}});
    EXPECT_EQ(response, Response::Completed);
    EXPECT_EQ(Stored("LastSaved", old), "20261224");
    EXPECT_EQ(Stored("Description", old), "now described");

    response = RunForm(old, Request::View, {{FormShown, [] {
                                                 EXPECT_EQ(TopLevel(Form)->windowTitle(), "View Record");
                                                 EXPECT_TRUE(Text("?TEMPLASTSAVED").isEmpty());
                                                 SetText("?RES:DESCRIPTION", "typed while viewing");
                                                 Press("?OK");
                                             }}});
    EXPECT_EQ(response, Response::Cancelled);
    EXPECT_EQ(Stored("Description", old), "now described");
}

TEST_F(FormWindow, ANewProjectShowsItsNumberAndDateAndCancelGivesItBackWithItsItems) {
    AddProject("FIRST");
    auto cell = [] { return In<QLineEdit>("?BROWSE:2:edit:1"); };
    uint8_t response = RunForm(0, Request::Insert,
                               {{FormShown,
                                 [] {
                                     EXPECT_EQ(TopLevel(Form)->windowTitle(), "Adding a Resource Project Record");
                                     EXPECT_EQ(Text("?RES:RESNUMBER"), "2");
                                     EXPECT_FALSE(Text("?RES:ENTERDATE").isEmpty());
                                     EXPECT_TRUE(Text("?RES:EXPORTDATE").isEmpty());
                                     Tab(2);
                                     Press("?INSERT:3");
                                 }},
                                {[&] { return cell() != nullptr; },
                                 [&] {
                                     Type(cell(), "Added");
                                     Key(cell(), Qt::Key_Return);
                                 }},
                                {[&] { return StoreValue("SELECT COUNT(*) FROM ExtraSeg") == "1"; },
                                 [&] {
                                     dialog.Expect("Save Record", ButtonNo);
                                     Press("?CANCEL");
                                 }}});
    EXPECT_EQ(response, Response::Cancelled);
    EXPECT_EQ(StoreValue("SELECT COUNT(*) FROM RESFile"), "1") << "the reserved number was given back";
    EXPECT_EQ(StoreValue("SELECT COUNT(*) FROM ExtraSeg"), "0") << "and the items entered for it";
}

TEST_F(FormWindow, TheFormIsUsableByKeyboardAndNamedForAssistiveTools) {
    int32_t project = AddProject("KEYS");
    const std::string longText(200, 'w');
    StoreSql("UPDATE RESFile SET LastSaved = 20261224, Description = 'Begins here " + longText + "'");
    auto name = [](const char* control, QAccessible::Text text) {
        return QAccessible::queryAccessibleInterface(In(control))->text(text).toStdString();
    };
    RunForm(project, Request::Change,
            {{[] { return FormShown() && QApplication::focusWidget() == In("?RES:PROJECTNAME"); },
              [&] {
                  EXPECT_EQ(name("?RES:PROJECTNAME", QAccessible::Name), "Name");
                  EXPECT_EQ(name("?RES:PROJECTNAME", QAccessible::Description), "Project Name");
                  EXPECT_EQ(name("?RES:FV:1", QAccessible::Name), "File Version");
                  EXPECT_EQ(name("?RES:FV:1", QAccessible::Description), "File Version - Major");
                  // A drop list's name is its value; its prompt labels it.
                  auto labels = QAccessible::queryAccessibleInterface(In("?LID:LANGID"))->relations(QAccessible::Label);
                  ASSERT_FALSE(labels.empty());
                  EXPECT_EQ(labels.front().first->text(QAccessible::Name).toStdString(), "Lang ID:");
                  EXPECT_EQ(name("?LID:LANGID", QAccessible::Description), "Language ID");
                  EXPECT_EQ(name("?RES:NOTES", QAccessible::Description), "Notes");
                  EXPECT_EQ(name("?IMPORTVDOFILE", QAccessible::Name), "Import 1.0 File...");
                  EXPECT_EQ(In<QLineEdit>("?RES:DESCRIPTION")->cursorPosition(), 0) << "a long text shows its beginning";
                  // The displays are read-only boxes that Tab passes over.
                  for (const char* display :
                       {"?RES:ENTERDATE", "?TEMPLASTSAVED", "?RES:EXPORTDATE", "?RES:EXPORTTIME", "?RES:RESNUMBER"}) {
                      auto* box = In<QLineEdit>(display);
                      EXPECT_TRUE(box->isReadOnly()) << display;
                      EXPECT_EQ(box->focusPolicy(), Qt::NoFocus) << display;
                      EXPECT_EQ(box->palette().color(QPalette::Base), box->palette().color(QPalette::Window)) << display;
                  }
                  Key(In("?RES:PROJECTNAME"), Qt::Key_Tab, Qt::ControlModifier);
              }},
             {[] { return QApplication::focusWidget() == In("?LID:LANGID"); },
              [] {
                  EXPECT_EQ(In<QTabWidget>("?SHEET1")->currentIndex(), 1);
                  Key(In("?LID:LANGID"), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
              }},
             {[] { return In<QTabWidget>("?SHEET1")->currentIndex() == 0; }, [] { Press("?CANCEL"); }}});
}

TEST_F(FormWindow, NotesTakeADateStampAndAreClearedOnlyWhenConfirmed) {
    int32_t project = AddProject("NOTES");
    StoreSql("UPDATE RESFile SET LastSaved = 20261224, Notes = 'first line   ' WHERE RESNumber = " +
             std::to_string(project));
    auto notes = [] { return In<QPlainTextEdit>("?RES:NOTES")->toPlainText().toStdString(); };
    RunForm(project, Request::Change,
            {{FormShown, [] { Tab(3); Press("?BUTTON8"); }},
             {[&] { return notes().find("2026 - ") != std::string::npos; },
              [&] {
                  EXPECT_EQ(notes(), "first line\n\n12/24/2026 - ") << "spaces dropped, a space typed at the end";
                  EXPECT_EQ(QApplication::focusWidget(), In("?RES:NOTES"));
                  dialog.Expect("Clear Note?", ButtonNo);
                  Press("?BUTTON9");
                  EXPECT_EQ(notes(), "first line\n\n12/24/2026 - ");
                  dialog.Expect("Clear Note?", ButtonYes);
                  Press("?BUTTON9");
              }},
             {[&] { return notes().empty(); }, [] { Press("?BUTTON8"); }},
             {[&] { return notes() == "12/24/2026 - "; }, [] { Press("?OK"); }}});
    EXPECT_EQ(Stored("Notes", project), "12/24/2026 -") << "the store keeps no trailing spaces";
}

TEST_F(FormWindow, DropListsShowTheProjectsValueOrTakeTheFirstRowAndChoosingSetsTheField) {
    int32_t project = AddProject("LOOKUP");
    StoreSql("UPDATE RESFile SET LangID = 'ZZZZ', LastSaved = 20261224 WHERE RESNumber = " + std::to_string(project));
    std::string firstLanguage = StoreValue("SELECT LangIDVal FROM LangID ORDER BY rowid LIMIT 1");
    std::string thirdCodePage = StoreValue("SELECT CodePageVal FROM CodePage ORDER BY rowid LIMIT 1 OFFSET 2");
    RunForm(project, Request::Change, {{FormShown, [&] {
                                            Tab(1);
                                            auto* language = In<QComboBox>("?LID:LANGID");
                                            auto* codePage = In<QComboBox>("?CPG:CODEPAGE");
                                            EXPECT_EQ(language->currentIndex(), 0);
                                            EXPECT_EQ(FieldText(RES.LangID), firstLanguage)
                                                << "copied into the project at once";
                                            std::string shown = codePage->currentText().toStdString();
                                            EXPECT_EQ(shown, StoreValue("SELECT CodePage FROM CodePage WHERE "
                                                                        "CodePageVal = '04b0'"));
                                            codePage->setCurrentIndex(2);
                                            emit codePage->activated(2);
                                            // Each list its own row, so that a value landing in
                                            // another list's field shows.
                                            for (auto [name, row] : {std::pair{"?FTY:FILETYPE", 3}, {"?FOS:FILEOS", 10}}) {
                                                In<QComboBox>(name)->setCurrentIndex(row);
                                                emit In<QComboBox>(name)->activated(row);
                                            }
                                        }},
                                       {[&] { return FieldText(RES.CodePage) == thirdCodePage && RES.FileType[0] == 3; },
                                        [] { Press("?OK"); }}});
    EXPECT_EQ(Stored("LangID", project), firstLanguage);
    EXPECT_EQ(Stored("CodePage", project), thirdCodePage);
    EXPECT_EQ(Stored(HexOf(StoreName, "FileType"), project), "03") << "VFT_DRV";
    EXPECT_EQ(Stored(HexOf(StoreName, "FileOS"), project), "04000100") << "VOS_DOS_WINDOWS32";
}

TEST_F(FormWindow, TypedTextIsSingleByteAndTheDittoKeyBringsBackTheLastOk) {
    int32_t first = AddProject("FIRST");
    int32_t second = AddProject("SECOND");
    StoreSql("UPDATE RESFile SET LastSaved = 20261224");
    RunForm(first, Request::Change, {{FormShown, [] {
                                          QLineEdit* company = In<QLineEdit>("?RES:COMPANYNAME");
                                          company->setFocus();
                                          Type(company, QString::fromUtf8("Caf\u00e9 \u00a9\u20ac"));
                                          EXPECT_EQ(company->text(), QString::fromUtf8("Caf\u00e9 \u00a9"))
                                              << "a character above U+00FF is refused as it is typed";
                                          In<QSpinBox>("?RES:FV:1")->setValue(70000);
                                          Press("?OK");
                                      }}});
    EXPECT_EQ(StoreValue("SELECT hex(CAST(CompanyName AS BLOB)) FROM RESFile WHERE RESNumber = " +
                         std::to_string(first)),
              "436166C3A920C2A9")
        << "stored as the characters U+00E9 and U+00A9";
    EXPECT_EQ(Stored("FV_1", first), "65535");

    RunForm(second, Request::Change, {{FormShown, [] {
                                           QLineEdit* company = In<QLineEdit>("?RES:COMPANYNAME");
                                           company->setFocus();
                                           EXPECT_TRUE(company->text().isEmpty());
                                           Key(company, Qt::Key_Apostrophe, Qt::ControlModifier, "'");
                                       }},
                                      {[] { return !Text("?RES:COMPANYNAME").isEmpty(); },
                                       [] {
                                           EXPECT_EQ(Text("?RES:COMPANYNAME"), QString::fromUtf8("Caf\u00e9 \u00a9"));
                                           Press("?OK");
                                       }}});
    EXPECT_EQ(Stored("CompanyName", second), "Caf\u00e9 \u00a9");
}

TEST_F(FormWindow, ImportAndTheFolderPickerChangeOnlyTheFormUntilOk) {
    int32_t project = AddProject("IMPORT", "/nowhere/in/particular");
    StoreSql("UPDATE RESFile SET LastSaved = 20261224, CompanyName = 'kept?' WHERE RESNumber = " +
             std::to_string(project));
    std::string vdo = dir.File("old.vdo");
    WriteFileBytes(vdo, "[verdo]\r\nCompanyName = \"Old Co\"\r\nfileversion1=70000\r\n");
    std::string folder = dir.Path() + "exports";
    std::filesystem::create_directory(folder);
    fileDialogs.Cancel();
    fileDialogs.Choose(vdo);
    fileDialogs.Choose(folder);
    uint8_t response = RunForm(project, Request::Change,
                               {{FormShown,
                                 [] {
                                     SetText("?RES:COMMENTS", "typed");
                                     Press("?IMPORTVDOFILE");
                                 }},
                                {[&] { return fileDialogs.Titles.size() == 1; },
                                 [] {
                                     EXPECT_EQ(Text("?RES:COMMENTS"), "typed") << "a cancelled dialog changes nothing";
                                     Press("?IMPORTVDOFILE");
                                 }},
                                {[] { return Text("?RES:COMPANYNAME") == "Old Co"; },
                                 [&] {
                                     EXPECT_TRUE(Text("?RES:COMMENTS").isEmpty()) << "missing keys empty their fields";
                                     EXPECT_EQ(In<QSpinBox>("?RES:FV:1")->value(), 4464);
                                     EXPECT_EQ(Text("?RES:PROJECTNAME"), "IMPORT");
                                     EXPECT_EQ(Stored("CompanyName", project), "kept?") << "nothing written yet";
                                     Press("?PICKPROJECTPATH");
                                 }},
                                {[&] { return Text("?RES:PROJECTPATH").toStdString() == folder; },
                                 [&] {
                                     dialog.Expect("Save Record", ButtonNo);
                                     Press("?CANCEL");
                                 }}});
    EXPECT_EQ(response, Response::Cancelled);
    EXPECT_EQ(Stored("CompanyName", project), "kept?");
    ASSERT_EQ(fileDialogs.Titles.size(), 3u);
    EXPECT_EQ(fileDialogs.Titles[1], "Select VERDO 1.0 File to be Imported...");
    ASSERT_EQ(fileDialogs.LastFilters.size(), 2u);
    EXPECT_EQ(fileDialogs.LastFilters[0].Description, "VERDO 1.0 File (*.VDO)");
    EXPECT_EQ(fileDialogs.LastFilters[1].Patterns, "*.*");
    EXPECT_EQ(fileDialogs.Titles[2], "Select RES Export Path");
}

TEST_F(FormWindow, AProjectAddedOnTheFormExportsExactlyWhatTheFormShowed) {
    std::string out = dir.Path() + "build";
    std::filesystem::create_directory(out);
    auto rows = [](const char* window, const char* list) {
        return qobject_cast<QAbstractItemView*>(Child(window, list));
    };
    auto editCell = [](int column) { return In<QLineEdit>(("?BROWSE:2:edit:" + std::to_string(column)).c_str()); };
    RunScript(BrowseRESFile,
              {{[] { return TopLevel("BrowseRESFile") != nullptr; },
                [] { Child<QPushButton>("BrowseRESFile", "?INSERT:2")->click(); }},
               {FormShown,
                [&] {
                    SetText("?RES:PROJECTNAME", "TOOL");

                    SetText("?RES:PROJECTPATH", QString::fromStdString(out));
                    SetText("?RES:COMPANYNAME", "Acme");
                    SetText("?RES:PRODUCTNAME", "Tool");
                    SetText("?RES:LEGALCOPYRIGHT", QString::fromUtf8("\u00a9 Acme"));
                    SetSpin("?RES:FV:1", 3);
                    SetSpin("?RES:FV:4", 17);
                    SetSpin("?RES:PV:2", 9);
                    In<QCheckBox>("?RES:FFDEBUG")->click();
                    Tab(1);
                    In<QComboBox>("?LID:LANGID")->setCurrentIndex(1);
                    emit In<QComboBox>("?LID:LANGID")->activated(1);
                    Tab(2);
                    Press("?INSERT:3");
                }},
               {[&] { return editCell(1) != nullptr; },
                [&] {
                    Type(editCell(1), "Branch");
                    Key(editCell(1), Qt::Key_Tab);
                }},
               {[&] { return QApplication::focusWidget() == editCell(2); },
                [&] {
                    Type(editCell(2), "main");
                    Key(editCell(2), Qt::Key_Return);
                }},
               {[&] { return editCell(1) == nullptr && rows(Form, "?BROWSE:2:rows")->model()->rowCount() == 1; },
                [] { Press("?INSERT:3"); }},
               {[&] { return editCell(1) != nullptr; },
                [&] {
                    Type(editCell(1), "Ticket");
                    Key(editCell(1), Qt::Key_Tab);
                }},
               {[&] { return QApplication::focusWidget() == editCell(2); },
                [&] {
                    Type(editCell(2), "T-42");
                    dialog.Expect("Save Record", ButtonYes);
                    Key(editCell(2), Qt::Key_Tab);
                }},
               {[&] { return editCell(1) == nullptr && rows(Form, "?BROWSE:2:rows")->model()->rowCount() == 2; },
                [] { Press("?OK"); }},
               {[&] { return FormClosed() && rows("BrowseRESFile", "?BROWSE:1:rows")->model()->rowCount() == 1; },
                [] { Reactivate("BrowseRESFile"); }},
               {[] { return Child<QPushButton>("BrowseRESFile", "?EXPORTRESFILE")->isEnabled(); },
                [&] {
                    dialog.Expect("Resource File Exported", ButtonOk);
                    Child<QPushButton>("BrowseRESFile", "?EXPORTRESFILE")->click();
                }},
               {[&] { return dialog.Shown().size() == 2; },
                [] { Child<QPushButton>("BrowseRESFile", "?CLOSE")->click(); }}},
              20000);

    std::string secondLanguage = StoreValue("SELECT LangIDVal FROM LangID ORDER BY rowid LIMIT 1 OFFSET 1");
    ASSERT_EQ(secondLanguage.size(), 4u);
    RESFileRecord expected;
    ClearRecord(RESFileTable(), &expected);
    expected.RESNumber = 1;
    AssignField(expected.ProjectName, "TOOL");
    AssignField(expected.ProjectPath, out);
    AssignField(expected.CompanyName, "Acme");
    AssignField(expected.ProductName, "Tool");
    AssignField(expected.LegalCopyright, "\xA9 Acme");
    expected.FV_1 = 3;
    expected.FV_4 = 17;
    expected.PV_2 = 9;
    expected.FFDebug = 1;
    std::memcpy(expected.FileOS, "\x04\x00\x04\x00", 4);
    expected.FileType[0] = 1;
    AssignField(expected.LangID, secondLanguage);
    AssignField(expected.CodePage, "04b0");
    std::optional<std::string> built = ComposeVersionResource(expected, {{"Branch", "main"}, {"Ticket", "T-42"}});
    ASSERT_TRUE(built.has_value());
    EXPECT_EQ(ReadFileBytes(out + "/TOOL.RES"), *built);
}

// A button pressed by its mnemonic, a close request or a question leaves the focus where
// it was: what the user typed there must be in the record before the action reads it.
TEST_F(FormWindow, WhatIsTypedReachesTheRecordBeforeAMnemonicOrACloseRequestActs) {
    int32_t project = AddProject("KEYED");
    StoreSql("UPDATE RESFile SET LastSaved = 20261224 WHERE RESNumber = " + std::to_string(project));
    auto notes = [] { return In<QPlainTextEdit>("?RES:NOTES")->toPlainText().toStdString(); };
    auto alt = [](Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key, Qt::AltModifier); };
    fileDialogs.Cancel();
    uint8_t response = RunForm(
        project, Request::Change,
        {{FormShown, [] { Tab(3); In("?RES:NOTES")->setFocus(); }},
         {[] { return QApplication::focusWidget() == In("?RES:NOTES"); },
          [&] {
              QTest::keyClicks(In("?RES:NOTES"), "First release.");
              alt(Qt::Key_D);
          }},
         {[&] { return notes().find("2026 - ") != std::string::npos; },
          [&] {
              EXPECT_EQ(notes(), "First release.\n\n12/24/2026 - ");
              QTest::keyClicks(In("?RES:NOTES"), "fixed");
              dialog.Expect("Clear Note?", ButtonNo);
              alt(Qt::Key_R);
          }},
         {[&] { return dialog.Shown().size() == 1; },
          [&] {
              EXPECT_EQ(dialog.Shown()[0].Icon, IconQuestion);
              EXPECT_EQ(notes(), "First release.\n\n12/24/2026 - fixed") << "No keeps the note as typed";
              Tab(0);
              alt(Qt::Key_C);
          }},
         {[] { return QApplication::focusWidget() == In("?RES:COMMENTS"); },
          [&] {
              QTest::keyClicks(In("?RES:COMMENTS"), "word");
              alt(Qt::Key_I);
          }},
         {[&] { return fileDialogs.Titles.size() == 1; },
          [&] {
              EXPECT_EQ(QApplication::focusWidget(), In("?RES:COMMENTS"));
              QTest::keyClicks(In("?RES:COMMENTS"), "s");
              dialog.Expect("Save Record", ButtonYes);
              QTest::keyClick(In("?RES:COMMENTS"), Qt::Key_Escape);
          }}});
    EXPECT_EQ(response, Response::Completed);
    EXPECT_EQ(Stored("Notes", project), "First release.\r\n\r\n12/24/2026 - fixed");
    EXPECT_EQ(Stored("Comments", project), "words") << "typed after the import, kept by the close request's question";
}

TEST_F(FormWindow, TheCloseBoxAndTheExtraItemsButtonsTakeWhatIsBeingTyped) {
    int32_t project = AddProject("CLOSING");
    StoreSql("UPDATE RESFile SET LastSaved = 20261224 WHERE RESNumber = " + std::to_string(project));
    auto cell = [] { return In<QLineEdit>("?BROWSE:2:edit:1"); };
    uint8_t response = RunForm(project, Request::Change,
                               {{FormShown,
                                 [] {
                                     Tab(2);
                                     Press("?INSERT:3");
                                 }},
                                {[&] { return cell() != nullptr; },
                                 [&] {
                                     QTest::keyClicks(cell(), "Branch");
                                     QTest::keyClick(cell(), Qt::Key_C, Qt::AltModifier);
                                 }},
                                {[&] { return StoreValue("SELECT COUNT(*) FROM ExtraSeg") == "1" && cell(); },
                                 [&] {
                                     EXPECT_EQ(cell()->text(), "Branch") << "the saved row is the one changed now";
                                     QTest::keyClick(cell(), Qt::Key_Escape);
                                     Tab(0);
                                     In("?RES:DESCRIPTION")->setFocus();
                                     QTest::keyClicks(In("?RES:DESCRIPTION"), "closed by its box");
                                     dialog.Expect("Save Record", ButtonYes);
                                     TopLevel(Form)->close();
                                 }}});
    EXPECT_EQ(response, Response::Completed);
    EXPECT_EQ(StoreValue("SELECT SegName FROM ExtraSeg WHERE RESNumber = " + std::to_string(project)), "Branch");
    EXPECT_EQ(Stored("Description", project), "closed by its box");
}

}  // namespace
