#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "core/Dictionary.h"
#include "core/ProgramNames.h"
#include "core/Records.h"
#include "framework/FileManager.h"
#include "framework/MessageManager.h"
#include "framework/RelationManager.h"
#include "framework/SettingsFile.h"
#include "runtime/platform/ProfileFile.h"
#include "runtime/qt/QtWindowSystem.h"
#include "runtime/text/Text.h"
#include "runtime/window/WindowSystem.h"
#include "tests/runtime/qt/QtTestSupport.h"
#include "tests/support/ProgramFixture.h"
#include "tests/windows/WindowFixture.h"
#include "windows/PreviewRES.h"

using namespace verdo;

namespace {

QWidget* PreviewShown() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("PreviewRES") && w->isVisible()) return w;
    return nullptr;
}

// What a control of the window shows, whatever kind of widget it is.
std::string Shows(QWidget& window, const char* name) {
    QWidget* widget = window.findChild<QWidget*>(QLatin1String(name));
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text().toStdString();
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text().toStdString();
    if (auto* text = qobject_cast<QPlainTextEdit*>(widget)) return text->toPlainText().toStdString();
    ADD_FAILURE() << "no text control " << name;
    return {};
}

QTableView* List(QWidget& window) { return window.findChild<QTableView*>(QStringLiteral("?LIST1:rows")); }

std::vector<std::string> ListNames(QWidget& window) {
    std::vector<std::string> names;
    QAbstractItemModel* model = List(window)->model();
    for (int row = 0; row < model->rowCount(); ++row) names.push_back(model->index(row, 0).data().toString().toStdString());
    return names;
}

// The value box once the highlight has moved and the window has dealt with it.
std::string ValueAfterSelecting(QWidget& window, int row, const std::string& expected) {
    QTableView* list = List(window);
    list->setCurrentIndex(list->model()->index(row, 0));
    test::SpinUntil([&] { return Shows(window, "?ITEMVALUE") == expected; }, 2000);
    return Shows(window, "?ITEMVALUE");
}

// Every row and column of a table of the store file, in the store's order.
std::string StoredRows(const std::string& path, const char* table) {
    sqlite3* db = nullptr;
    std::string rows;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        std::string sql = std::string("SELECT * FROM ") + table + " ORDER BY rowid";
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK) {
            while (sqlite3_step(statement) == SQLITE_ROW) {
                for (int c = 0; c < sqlite3_column_count(statement); ++c) {
                    const void* bytes = sqlite3_column_blob(statement, c);
                    rows.append(bytes ? static_cast<const char*>(bytes) : "", sqlite3_column_bytes(statement, c));
                    rows += '\x1f';
                }
                rows += '\n';
            }
        }
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return rows;
}

class PreviewWindow : public test::WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        // The browse that calls the preview has the projects open all along.
        Relate_RESFile->Open();
    }
    void TearDown() override {
        Relate_RESFile->Close();
        WindowFixture::TearDown();
    }

    int32_t AddProjectWith(const std::function<void(RESFileRecord&)>& fill) {
        FileManager& res = *Access_RESFile;
        EXPECT_EQ(res.PrimeRecord(), LevelNone);
        fill(RES);
        EXPECT_EQ(res.Insert(), LevelNone);
        return RES.RESNumber;
    }

    // As the browse leaves things: the projects walked by number up to this one, its
    // record in the shared buffer.
    void BrowseAt(int32_t project) {
        FileManager& res = *Access_RESFile;
        res.SetKey(res.KeyNumber("RES:RESNumberK"));
        while (res.Next() == LevelNone && RES.RESNumber != project) {}
        ASSERT_EQ(RES.RESNumber, project);
    }

    // Runs the preview; `look` gets the window once it is filled, which is then closed
    // with the button named.
    void RunPreview(int32_t number, const std::function<void(QWidget&)>& look, const char* closeWith = "?CLOSE") {
        bool looked = false, clicked = false;
        QElapsedTimer clock;
        clock.start();
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            QWidget* window = PreviewShown();
            if (clicked) {
                // A window that does not close would keep the test waiting for ever.
                if (window && clock.elapsed() > 5000) {
                    ADD_FAILURE() << closeWith << " did not close the window";
                    windows.CloseDown();
                }
                return;
            }
            QWidget* focus = QApplication::focusWidget();
            bool filled = window && focus && focus->objectName() == QLatin1String("?GENERALEXENAME");
            if (!filled && clock.elapsed() < 10000) return;
            if (!window) return;
            if (filled) {
                looked = true;
                look(*window);
            } else {
                ADD_FAILURE() << "the window never put the focus on the file name";
            }
            clicked = true;
            clock.restart();
            window->findChild<QPushButton*>(QLatin1String(closeWith))->click();
        });
        timer.start(10);
        PreviewRES(number);
        EXPECT_TRUE(looked);
        EXPECT_EQ(PreviewShown(), nullptr) << "closed by " << closeWith;
        EXPECT_TRUE(GlobalMessages().PROCNAMES.empty());
    }

};

}  // namespace

TEST_F(PreviewWindow, BlankProjectOpensOnTheGeneralTabWithOnlyTheLanguageLine) {
    int32_t project = AddProjectWith([](RESFileRecord& r) {
        r.FV_1 = 1;
        r.FV_2 = 2;
        r.FV_3 = 3;
        r.FV_4 = 4;
        AssignField(r.LangID, "abcd");
    });
    BrowseAt(project);
    RunPreview(project, [](QWidget& window) {
        EXPECT_EQ(window.windowTitle().toStdString(), "MyApp.exe Properties");
        EXPECT_EQ(window.findChild<QTabWidget*>(QStringLiteral("?SHEET1"))->currentIndex(), 0);
        EXPECT_EQ(Shows(window, "?GENERALEXENAME"), "MyApp.exe");
        EXPECT_TRUE(window.findChild<QCheckBox*>(QStringLiteral("?SECURITYALLOW"))->isChecked());
        EXPECT_EQ(Shows(window, "?FILEVERSION"), "1, 2, 3, 4");
        EXPECT_EQ(ListNames(window), std::vector<std::string>{"Language"});
        EXPECT_EQ(List(window)->currentIndex().row(), 0);
        EXPECT_EQ(Shows(window, "?ITEMVALUE"), "English (United States)");
    });
}

TEST_F(PreviewWindow, StandardAndExtraItemsShareOneSortedListAndEachShowsItsOwnValue) {
    std::string longValue;
    for (int i = 0; i < 255; ++i) longValue += static_cast<char>('a' + i % 26);
    int32_t project = AddProjectWith([](RESFileRecord& r) {
        r.FV_1 = r.FV_2 = r.FV_3 = r.FV_4 = 65535;
        AssignField(r.LangID, "040c");
        AssignField(r.Description, "Desc of Alpha");
        AssignField(r.Comments, "c-Comments");
        AssignField(r.CompanyName, "Alpha Makers");
        AssignField(r.FileDescription, "fd-FileDescription");
        AssignField(r.InternalName, "alpha-int");
        AssignField(r.LegalCopyright, "\xA9 2001 Alpha Makers");
        AssignField(r.LegalTrademarks, "Alpha(tm)");
        AssignField(r.OriginalFileName, "alpha.exe");
        AssignField(r.PrivateBuild, "pb-7");
        AssignField(r.ProductName, "Alpha Suite");
        AssignField(r.SpecialBuild, "sb-9");
    });
    int32_t other = AddProjectWith([](RESFileRecord& r) { AssignField(r.CompanyName, "Other Makers"); });
    AddExtraItem(project, "Zeta", "");
    AddExtraItem(other, "Aardvark", "other project");
    AddExtraItem(project, "Product Name", "extra product");
    AddExtraItem(project, "Xtra item with a long name", longValue);
    AddExtraItem(project, "Build Host", "ci-03");
    BrowseAt(project);
    RESFileRecord before = RES;

    RunPreview(project, [&](QWidget& window) {
        EXPECT_EQ(Shows(window, "?FILEVERSION"), "65535, 65535, 65535,");
        EXPECT_EQ(Shows(window, "?RES:DESCRIPTION:2"), "Desc of Alpha");
        EXPECT_EQ(Shows(window, "?RES:DESCRIPTION"), "Desc of Alpha");
        EXPECT_EQ(Shows(window, "?RES:LEGALCOPYRIGHT"), "\u00A9 2001 Alpha Makers");
        EXPECT_EQ(ListNames(window),
                  (std::vector<std::string>{"Build Host", "Company Name", "Internal Name", "Language",
                                            "Legal Trademarks", "Original Filename", "Private Build", "Product Name",
                                            "Product Name", "Special Build", "Xtra item with a lon", "Zeta"}));
        EXPECT_EQ(Shows(window, "?ITEMVALUE"), "ci-03") << "the first line is highlighted and shown";
        const std::vector<std::string> expected = {"Alpha Makers", "alpha-int", "French (France)", "Alpha(tm)",
                                                   "alpha.exe",    "pb-7",      "Alpha Suite",     "extra product",
                                                   "sb-9",         longValue,   ""};
        for (size_t row = 1; row <= expected.size(); ++row)
            EXPECT_EQ(ValueAfterSelecting(window, static_cast<int>(row), expected[row - 1]), expected[row - 1])
                << "line " << row;

        // The keys move the highlight as the mouse does.
        QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
        QApplication::sendEvent(List(window), &up);
        EXPECT_TRUE(test::SpinUntil([&] { return Shows(window, "?ITEMVALUE") == longValue; }, 2000));
        EXPECT_EQ(List(window)->currentIndex().row(), 10);
    });
    EXPECT_EQ(std::memcmp(&before, &RES, sizeof RES), 0) << "the browse's project is in the buffer again";
}

TEST_F(PreviewWindow, MissingProjectOpensEmptyAndQuietly) {
    int32_t first = AddProjectWith([](RESFileRecord& r) { AssignField(r.Description, "First project"); });
    int32_t second = AddProjectWith([](RESFileRecord& r) { AssignField(r.Description, "Second project"); });
    BrowseAt(first);
    RESFileRecord before = RES;

    RunPreview(4711, [](QWidget& window) {
        EXPECT_EQ(Shows(window, "?FILEVERSION"), "");
        EXPECT_TRUE(ListNames(window).empty());
        EXPECT_EQ(Shows(window, "?ITEMVALUE"), "");
        EXPECT_EQ(Shows(window, "?RES:DESCRIPTION"), "First project") << "the buffer as the browse left it";
    });
    EXPECT_EQ(std::memcmp(&before, &RES, sizeof RES), 0);
    EXPECT_TRUE(dialog.Shown().empty());
    ASSERT_EQ(Access_RESFile->Next(), LevelNone);
    EXPECT_EQ(RES.RESNumber, second) << "the browse's walk goes on where it stood";
}

TEST_F(PreviewWindow, WhatTheUserTypesOrTicksIsNeverStoredAndCancelCloses) {
    int32_t first = AddProjectWith([](RESFileRecord& r) { AssignField(r.CompanyName, "First Makers"); });
    int32_t second = AddProjectWith([](RESFileRecord& r) { AssignField(r.ProductName, "Second Suite"); });
    int32_t third = AddProjectWith([](RESFileRecord&) {});
    AddExtraItem(second, "Build Host", "ci-03");
    BrowseAt(first);
    RESFileRecord before = RES;
    ExtraSegRecord itemBefore = SEG;
    const std::string projectsBefore = StoredRows(dir.File("VERDO"), "RESFile");
    const std::string itemsBefore = StoredRows(dir.File("VERDO"), "ExtraSeg");
    ASSERT_NE(projectsBefore, "");
    int projectUsers = Access_RESFile->Info().USED, itemUsers = Access_ExtraSeg->Info().USED;

    RunPreview(
        second,
        [](QWidget& window) {
            auto type = [&](const char* name, const char* text) {
                auto* edit = window.findChild<QLineEdit*>(QLatin1String(name));
                edit->setFocus();
                edit->setText(QString::fromLatin1(text));
            };
            type("?GENERALEXENAME", "Changed.exe");
            window.findChild<QCheckBox*>(QStringLiteral("?ATTRREADONLY"))->click();
            window.findChild<QTabWidget*>(QStringLiteral("?SHEET1"))->setCurrentIndex(1);
            auto* value = window.findChild<QPlainTextEdit*>(QStringLiteral("?ITEMVALUE"));
            value->setFocus();
            value->setPlainText(QStringLiteral("typed over"));
            window.findChild<QTabWidget*>(QStringLiteral("?SHEET1"))->setCurrentIndex(2);
            window.findChild<QCheckBox*>(QStringLiteral("?SECURITYALLOW"))->click();
            window.findChild<QTabWidget*>(QStringLiteral("?SHEET1"))->setCurrentIndex(3);
            type("?SUMMARYTITLE", "A title");
            type("?SUMMARYAUTHOR", "An author");
            test::Drain();
        },
        "?CANCEL");

    EXPECT_EQ(StoredRows(dir.File("VERDO"), "RESFile"), projectsBefore);
    EXPECT_EQ(StoredRows(dir.File("VERDO"), "ExtraSeg"), itemsBefore);
    EXPECT_EQ(std::memcmp(&before, &RES, sizeof RES), 0);
    EXPECT_EQ(std::memcmp(&itemBefore, &SEG, sizeof SEG), 0);
    EXPECT_EQ(Access_RESFile->Info().USED, projectUsers);
    EXPECT_EQ(Access_ExtraSeg->Info().USED, itemUsers);
    EXPECT_NE(ReadProfileString("PreviewRES", "XPos", "", SettingsFileName), "") << "its placement is kept";
    ASSERT_EQ(Access_RESFile->Next(), LevelNone);
    EXPECT_EQ(RES.RESNumber, second);
    ASSERT_EQ(Access_RESFile->Next(), LevelNone);
    EXPECT_EQ(RES.RESNumber, third);
}
