// Prints the median times of the editor's everyday steps, offscreen:
//  - opening the project browse (from the start request to its first page shown) and a
//    page down, over stores of 1,000 and 100,000 projects, with their ratio;
//  - opening the project form on a project with 100 extra items in the store of 100,000
//    projects, and saving it with OK.
#include <sqlite3.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "core/Dictionary.h"
#include "core/ProgramNames.h"
#include "core/Records.h"
#include "framework/FileManager.h"
#include "framework/MessageManager.h"
#include "framework/RelationManager.h"
#include "framework/Requests.h"
#include "framework/SettingsFile.h"
#include "runtime/qt/QtWindowSystem.h"
#include "runtime/window/WindowSystem.h"
#include "windows/BrowseRESFile.h"
#include "windows/UpdateRESFile.h"

namespace {

using namespace verdo;
using verdo::bench::Median;

QWidget* Shown(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String(name) && w->isVisible()) return w;
    return nullptr;
}

QAbstractItemView* List(const char* window, const char* name) {
    QWidget* top = Shown(window);
    return top ? top->findChild<QAbstractItemView*>(QLatin1String(name)) : nullptr;
}

// Spins the events until the condition holds; milliseconds it took.
double Await(const std::function<bool()>& condition) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) QCoreApplication::processEvents(QEventLoop::AllEvents);
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

// Fills the store from outside, as the sqlite3 client would, in one transaction.
void Fill(const std::string& store, int projects, int itemsOfFirst) {
    sqlite3* db = nullptr;
    sqlite3_open(store.c_str(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* project = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO RESFile (RESNumber, ProjectName, Description, ProjectPath, EnterDate, LangID, "
                       "CodePage, FileOS, FileType) VALUES (?, ?, ?, '/tmp/out', 20260101, '0409', '04b0', "
                       "x'04000400', x'01')",
                       -1, &project, nullptr);
    if (!project) std::fprintf(stderr, "filling the store failed: %s\n", sqlite3_errmsg(db));
    for (int i = 1; i <= projects; ++i) {
        std::string name = "P" + std::to_string(100000 + (i * 7919) % 100000);
        std::string description = "Project number " + std::to_string(i);
        sqlite3_bind_int(project, 1, i);
        sqlite3_bind_text(project, 2, name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(project, 3, description.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_step(project);
        sqlite3_reset(project);
    }
    sqlite3_finalize(project);
    for (int i = 1; i <= itemsOfFirst; ++i) {
        std::string sql = "INSERT INTO ExtraSeg (RESNumber, SegName, SegData) VALUES (1, 'Item " + std::to_string(i) +
                          "', 'Value " + std::to_string(i) + "')";
        sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    }
    if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        std::fprintf(stderr, "filling the store failed: %s\n", sqlite3_errmsg(db));
    sqlite3_close(db);
}

struct BrowseFigures {
    double Open;
    double PageDown;
};

// Runs the browse over a fresh program directory of `projects` projects; `inside` runs
// while it is open.
void WithStore(int projects, int items, const std::function<void()>& inside) {
    QTemporaryDir dir;
    ComposeNames(dir.path().toStdString() + "/verdo", "");
    GlobalMessages().Initialise();
    DictionaryStartup(GlobalMessages());
    GlobalSettings().Open(SettingsFileName);
    // The first open makes the store with its tables.
    Access_RESFile->Open();
    Access_RESFile->UseFile();
    Access_ExtraSeg->Open();
    Access_ExtraSeg->UseFile();
    Access_ExtraSeg->Close();
    Access_RESFile->Close();
    Fill(dir.path().toStdString() + "/VERDO", projects, items);
    inside();
    GlobalSettings().Close();
    DictionaryShutdown();
    GlobalMessages().Shutdown();
}

BrowseFigures MeasureBrowse(int projects, int runs) {
    std::vector<double> opens, pages;
    WithStore(projects, 0, [&] {
        for (int run = 0; run <= runs; ++run) {
            QElapsedTimer clock;
            double open = 0;
            // A timer, not a posted call: the window's own events are posted ones, and are
            // not delivered while a posted call runs.
            QTimer::singleShot(1, [&] {
                Await([] { return List("BrowseRESFile", "?BROWSE:1:rows") &&
                                  List("BrowseRESFile", "?BROWSE:1:rows")->model()->rowCount() > 0; });
                open = static_cast<double>(clock.nsecsElapsed()) / 1e6;
                QAbstractItemView* rows = List("BrowseRESFile", "?BROWSE:1:rows");
                for (int page = 0; page < 10; ++page) {
                    QString first = rows->model()->index(0, 0).data().toString();
                    QElapsedTimer paging;
                    paging.start();
                    QKeyEvent key(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
                    QApplication::sendEvent(rows, &key);
                    Await([&] { return rows->model()->index(0, 0).data().toString() != first; });
                    if (run > 0) pages.push_back(static_cast<double>(paging.nsecsElapsed()) / 1e6);
                }
                Shown("BrowseRESFile")->findChild<QPushButton*>("?CLOSE")->click();
            });
            clock.start();
            BrowseRESFile();
            if (run > 0) opens.push_back(open);  // the first run warms the caches
        }
    });
    return {Median(opens), Median(pages)};
}

void MeasureForm(int runs) {
    std::vector<double> opens, saves;
    WithStore(100000, 100, [&] {
        Relate_RESFile->Open();
        for (int run = 0; run <= runs; ++run) {
            ClearRecord(RESFileTable(), &RES);
            RES.RESNumber = 1;
            Access_RESFile->TryFetch(RESFileTable().KeyIndex("RES:RESNumberK"));
            QElapsedTimer clock;
            double open = 0, save = 0;
            QTimer::singleShot(1, [&] {
                Await([] { return List("UpdateRESFile", "?BROWSE:2:rows") &&
                                  List("UpdateRESFile", "?BROWSE:2:rows")->model()->rowCount() > 0; });
                open = static_cast<double>(clock.nsecsElapsed()) / 1e6;
                QElapsedTimer saving;
                saving.start();
                Shown("UpdateRESFile")->findChild<QPushButton*>("?OK")->click();
                Await([] { return Shown("UpdateRESFile") == nullptr; });
                save = static_cast<double>(saving.nsecsElapsed()) / 1e6;
            });
            clock.start();
            GlobalRequest = Request::Change;
            UpdateRESFile();
            if (run > 0) {
                opens.push_back(open);
                saves.push_back(save);
            }
        }
        Relate_RESFile->Close();
    });
    std::printf("form on a project with 100 extra items, 100,000 projects: open %.1f ms, save with OK %.1f ms\n",
                Median(opens), Median(saves));
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QtWindowSystem windows;
    SetWindowSystem(&windows);
    const int runs = 7;
    BrowseFigures small = MeasureBrowse(1000, runs);
    BrowseFigures large = MeasureBrowse(100000, runs);
    std::printf("browse, medians over %d runs (page down: 10 pages a run)\n", runs);
    std::printf("  %7s projects: open %6.1f ms, page down %5.2f ms\n", "1,000", small.Open, small.PageDown);
    std::printf("  %7s projects: open %6.1f ms, page down %5.2f ms\n", "100,000", large.Open, large.PageDown);
    std::printf("  ratio 100,000 / 1,000: open %.2f, page down %.2f\n", large.Open / small.Open,
                large.PageDown / small.PageDown);
    MeasureForm(runs);
    SetWindowSystem(nullptr);
    return 0;
}
