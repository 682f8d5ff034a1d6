#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <string>
#include <vector>

#include "tests/windows/WindowFixture.h"
#include "tests/windows/WindowScript.h"
#include "windows/BrowseRESFile.h"

using namespace verdo;
using namespace verdo::test;

namespace {

class BuildHistoryWindow : public WindowFixture {
protected:
    static QTableView* Rows(const char* window) { return Child<QTableView>(window, "?BROWSE:1:rows"); }
    static std::vector<std::string> Column(int column) {
        std::vector<std::string> cells;
        QAbstractItemModel* model = Rows("BuildHistory")->model();
        for (int row = 0; row < model->rowCount(); ++row)
            cells.push_back(model->data(model->index(row, column)).toString().toStdString());
        return cells;
    }
    static std::string Details() {
        return Child<QPlainTextEdit>("BuildHistory", "?DETAILS")->toPlainText().toStdString();
    }
    static QPushButton* Button(const char* window, const char* name) { return Child<QPushButton>(window, name); }
    static bool HistoryShown() { return TopLevel("BuildHistory") && Rows("BuildHistory"); }
    static void Press(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(widget, &press);
    }

    // Build n (from 1) of a project: every field its own value, the versions rising.
    void AddBuild(int32_t project, int n) {
        const std::string number = std::to_string(n);
        const int clock = n / 60 * 10000 + n % 60 * 100;
        StoreSql("INSERT INTO RESBuild (RESNumber, ProjectName, Kind, FV_1, FV_2, FV_3, FV_4, PV_1, PV_2, PV_3, PV_4, "
                 "DateUtc, TimeUtc, DateLocal, TimeLocal, FileName, HostName, UserName, Sha256, CommitId, Dirty, JobUrl) "
                 "VALUES (" + std::to_string(project) + ", 'P" + std::to_string(project) + "', '" +
                 (n % 2 ? "build" : "export") + "', 3, 1, 7, " + number + ", 4, 2, 8, " + std::to_string(n + 100) +
                 ", 20261201, " + std::to_string(9000000 + clock) + ", 20261202, " +
                 std::to_string(1000000 + clock) + ", '/work/out/P.RES', 'host" + number + "', 'user" + number +
                 "', 'sha" + number + "', 'c0mmit" + number + "', " + std::to_string(n % 3) + ", 'https://ci/job/" +
                 number + "')");
    }
};

TEST_F(BuildHistoryWindow, TheHighlightedProjectsBuildsNewestFirstAPageAtATimeWithTheWholeRowToCopy) {
    const int32_t app = AddProject("APP");
    const int32_t other = AddProject("OTHER");
    AddProject("NONE");
    for (int n = 1; n <= 60; ++n) {
        AddBuild(app, n);
        if (n % 10 == 0) AddBuild(other, n);  // rows of the project beside it, between its own
    }
    QApplication::clipboard()->setText("before");
    size_t page = 0;
    RunScript(BrowseRESFile,
              {{[] { return TopLevel("BrowseRESFile") && Rows("BrowseRESFile")->model()->rowCount() == 3; },
                [] { Press(Rows("BrowseRESFile"), Qt::Key_H, Qt::ControlModifier); }},
               {[] { return HistoryShown() && Rows("BuildHistory")->model()->rowCount() > 0; },
                [&] {
                    page = Column(0).size();
                    EXPECT_LT(page, 60u) << "one page, not the whole ledger";
                    EXPECT_EQ(Column(2).front(), "3.1.7.60") << "newest first";
                    EXPECT_EQ(Column(2)[1], "3.1.7.59");
                    const std::vector<std::string> newest = {"2026-12-01 09:01:00", "export", "3.1.7.60",
                                                             "4.2.8.160", "c0mmit60 (clean)", "host60", "user60",
                                                             "https://ci/job/60"};
                    for (size_t c = 0; c < newest.size(); ++c) EXPECT_EQ(Column(static_cast<int>(c)).front(), newest[c]);
                    EXPECT_EQ(Column(4)[1], "c0mmit59") << "a tree git could not tell about";
                    EXPECT_EQ(Column(4)[2], "c0mmit58 (changed)");
                    for (const char* field : {"Project: 1 P1", "Written by: export", "File version: 3.1.7.60",
                                              "Product version: 4.2.8.160",
                                              "Time: 2026-12-01 09:01:00 UTC, 2026-12-02 01:01:00 local",
                                              "File: /work/out/P.RES", "Host: host60", "User: user60",
                                              "Commit: c0mmit60 (clean)", "Job: https://ci/job/60", "SHA-256: sha60"})
                        EXPECT_NE(Details().find(field), std::string::npos) << field << " in " << Details();
                    Reactivate("BuildHistory");
                    Rows("BuildHistory")->setFocus();
                    Press(Rows("BuildHistory"), Qt::Key_C, Qt::ControlModifier);
                }},
               {[] { return QApplication::clipboard()->text().toStdString() == Details(); },
                [] { Press(Rows("BuildHistory"), Qt::Key_End); }},
               {[] { return Column(2).back() == "3.1.7.1"; },
                [&] {
                    EXPECT_EQ(Column(2).size(), page);
                    EXPECT_NE(Details().find("File version: 3.1.7.1\n"), std::string::npos) << "the highlight went along";
                    Press(Rows("BuildHistory"), Qt::Key_Home);
                }},
               {[] { return Column(2).front() == "3.1.7.60"; },
                [] { Press(Rows("BuildHistory"), Qt::Key_PageDown); }},
               {[&] { return Column(2).front() != "3.1.7.60"; },
                [&] {
                    // A page further down follows on from the first, still only the project's own.
                    for (const std::string& version : Column(2)) EXPECT_EQ(version.rfind("3.1.7.", 0), 0u);
                    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(Rows("BuildHistory"));
                    ASSERT_NE(list, nullptr);
                    EXPECT_EQ(list->text(QAccessible::Name), "Builds on Record");
                    EXPECT_EQ(list->tableInterface()->columnDescription(4), "Commit");
                    Button("BuildHistory", "?CLOSE")->click();
                }},
               // The button opens the history of the project highlighted now: its own six.
               {[] { return !TopLevel("BuildHistory"); },
                [] {
                    QTableView* projects = Rows("BrowseRESFile");
                    projects->setCurrentIndex(projects->model()->index(1, 0));
                    Button("BrowseRESFile", "?BUILDHISTORY")->click();
                }},
               {[] { return HistoryShown() && Rows("BuildHistory")->model()->rowCount() > 0; },
                [] {
                    EXPECT_EQ(Column(2), (std::vector<std::string>{"3.1.7.60", "3.1.7.50", "3.1.7.40", "3.1.7.30",
                                                                   "3.1.7.20", "3.1.7.10"}));
                    EXPECT_NE(Details().find("Project: 2 P2"), std::string::npos);
                    Button("BuildHistory", "?CLOSE")->click();
                }},
               // None on record.
               {[] { return !TopLevel("BuildHistory"); },
                [] {
                    QTableView* projects = Rows("BrowseRESFile");
                    projects->setCurrentIndex(projects->model()->index(2, 0));
                    Press(projects, Qt::Key_H, Qt::ControlModifier);
                }},
               {[] { return HistoryShown(); },
                [] {
                    EXPECT_EQ(Rows("BuildHistory")->model()->rowCount(), 0);
                    EXPECT_EQ(Details(), "No build of this project is on record.");
                    EXPECT_FALSE(Button("BuildHistory", "?COPYROW")->isEnabled());
                    Button("BuildHistory", "?CLOSE")->click();
                }},
               {[] { return !TopLevel("BuildHistory"); }, [] { Button("BrowseRESFile", "?CLOSE")->click(); }}});
    (void)other;
}

}  // namespace
