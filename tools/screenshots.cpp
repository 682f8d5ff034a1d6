// Renders the windows offscreen into PNG files:
//   screenshots OUTPUT-DIRECTORY
// It runs the real windows over a fresh program directory that holds a few sample
// projects: the splash, the frame with the browse, the about box, each tab of the
// project form, each tab of the preview and a project's build history.
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <cstdio>
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
#include "runtime/datetime/DateTime.h"
#include "runtime/qt/QtWindowSystem.h"
#include "runtime/text/Text.h"
#include "windows/BrowseRESFile.h"
#include "windows/Main.h"
#include "windows/ProcedureTable.h"

namespace {

using namespace verdo;

QWidget* Shown(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String(name) && w->isVisible()) return w;
    return nullptr;
}

QWidget* Inside(const char* window, const char* name) {
    QWidget* top = Shown(window);
    return top ? top->findChild<QWidget*>(QLatin1String(name)) : nullptr;
}

struct SampleItem {
    const char* Name;
    const char* Data;
};

struct Sample {
    const char* Name;
    const char* Description;
    const char* Company;
    const char* Product;
    uint16_t Version[4];
    std::vector<SampleItem> Items;
};

void AddSamples() {
    const Sample samples[] = {
        {"INVOICE", "Invoice printing for the shop", "Northwind Tools Ltd", "Invoice Printer", {2, 4, 0, 117},
         {{"Build Server", "build-07"}, {"Support", "support@northwind.example"}}},
        {"LEDGER", "General ledger", "Northwind Tools Ltd", "Ledger", {1, 0, 3, 12}, {}},
        {"PAYROLL", "Monthly payroll run", "Northwind Tools Ltd", "Payroll", {3, 1, 0, 940}, {{"Licence", "Site"}}},
        {"SETUP", "Installer of the suite", "Northwind Tools Ltd", "Suite Setup", {5, 0, 0, 2}, {}},
    };
    FileManager& res = *Access_RESFile;
    FileManager& seg = *Access_ExtraSeg;
    res.Open();
    seg.Open();
    for (const Sample& s : samples) {
        res.PrimeRecord();
        AssignField(RES.ProjectName, s.Name);
        AssignField(RES.Description, s.Description);
        AssignField(RES.ProjectPath, "/home/dev/build/" + std::string(s.Name));
        AssignField(RES.CompanyName, s.Company);
        AssignField(RES.ProductName, s.Product);
        AssignField(RES.FileDescription, s.Description);
        AssignField(RES.LegalCopyright, "\xA9 2026 Northwind Tools Ltd");
        RES.FV_1 = RES.PV_1 = s.Version[0];
        RES.FV_2 = RES.PV_2 = s.Version[1];
        RES.FV_3 = RES.PV_3 = s.Version[2];
        RES.FV_4 = RES.PV_4 = s.Version[3];
        RES.INC_FV_4 = 1;
        // Saved today: the form opens unchanged and closes without a question.
        RES.LastSaved = CurrentClock().Today();
        AssignField(RES.Notes, "Released with the spring update.");
        res.Insert();
        for (const SampleItem& item : s.Items) {
            ClearRecord(ExtraSegTable(), &SEG);
            SEG.RESNumber = RES.RESNumber;
            AssignField(SEG.SegName, item.Name);
            AssignField(SEG.SegData, item.Data);
            seg.Insert();
        }
    }
    seg.Close();
    res.Close();
}

// A few builds of the first project, as a CI and a developer would have left them.
void AddBuilds() {
    FileManager& ledger = *Access_RESBuild;
    ledger.Open();
    const char* commits[] = {"4f2a9c1e7b", "9d03be6a41", "9d03be6a41", "c81f5e2d90", "e6b7a0f3c2"};
    for (uint16_t n = 0; n < 5; ++n) {
        const bool ci = n != 2;
        ClearRecord(RESBuildTable(), &BLD);
        BLD.RESNumber = 1;
        AssignField(BLD.ProjectName, "INVOICE");
        AssignField(BLD.Kind, ci ? "build" : "export");
        BLD.FV_1 = BLD.PV_1 = 2;
        BLD.FV_2 = BLD.PV_2 = 4;
        BLD.FV_4 = BLD.PV_4 = static_cast<uint16_t>(113 + n);
        BLD.DateUtc = BLD.DateLocal = Date{static_cast<uint8_t>(7 + n), 12, 2026};
        BLD.TimeUtc = Time{static_cast<uint8_t>(9 + n), static_cast<uint8_t>(12 * n), 5, 0};
        BLD.TimeLocal = Time{static_cast<uint8_t>(10 + n), static_cast<uint8_t>(12 * n), 5, 0};
        AssignField(BLD.FileName, "/home/dev/build/INVOICE/INVOICE.RES");
        AssignField(BLD.HostName, ci ? "build-07" : "dev-laptop");
        AssignField(BLD.UserName, ci ? "ci" : "anna");
        AssignField(BLD.Sha256, std::string(commits[n]) + std::string(54, '0'));
        AssignField(BLD.CommitId, std::string(commits[n]) + "5a7d3e0b9c1f4a6e82d0b5c3");
        BLD.Dirty = ci ? 0 : 1;
        if (ci) AssignField(BLD.JobUrl, "https://ci.northwind.example/invoice/jobs/" + std::to_string(2281 + n));
        ledger.Insert();
    }
    ledger.Close();
}

bool Save(QWidget* widget, const QString& file) {
    bool saved = widget && widget->grab().save(file);
    std::fprintf(stderr, "%s %s\n", saved ? "wrote" : "could not write", qPrintable(file));
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT-DIRECTORY\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QDir out(QString::fromLocal8Bit(argv[1]));
    out.mkpath(".");
    QTemporaryDir programDir;

    ComposeNames(programDir.path().toStdString() + "/verdo", "");
    GlobalMessages().Initialise();
    DictionaryStartup(GlobalMessages());
    GlobalSettings().Open(SettingsFileName);
    AddSamples();
    AddBuilds();
    QtWindowSystem windows;
    SetWindowSystem(&windows);
    RegisterProcedure("BrowseRESFile", [] { BrowseRESFile(); });

    int failures = 0;
    // Each step waits for its window, then takes its picture and moves on.
    struct Step {
        std::function<bool()> Ready;
        std::function<void()> Act;
    };
    auto tabs = [&](const char* window, const char* sheet, std::vector<const char*> files) {
        auto* widget = qobject_cast<QTabWidget*>(Inside(window, sheet));
        for (int i = 0; widget && i < static_cast<int>(files.size()); ++i) {
            widget->setCurrentIndex(i);
            QApplication::processEvents();
            failures += !Save(Shown(window), out.filePath(files[static_cast<size_t>(i)]));
        }
        if (widget) widget->setCurrentIndex(0);
    };
    auto rows = [] { return qobject_cast<QAbstractItemView*>(Inside("Main", "?BROWSE:1:rows")); };
    std::vector<Step> steps = {
        {[] { return Shown("VerdoSplash") != nullptr; },
         [&] {
             QWidget* splash = Shown("VerdoSplash");
             failures += !Save(splash, out.filePath("splash.png"));
             QPoint centre = splash->rect().center();
             QMouseEvent click(QEvent::MouseButtonPress, centre, splash->mapToGlobal(centre), Qt::LeftButton,
                               Qt::LeftButton, Qt::NoModifier);
             QApplication::sendEvent(splash, &click);
         }},
        {[&] { return Shown("Main") && rows() && rows()->model()->rowCount() > 0; },
         [&] {
             rows()->setCurrentIndex(rows()->model()->index(0, 0));
             QApplication::processEvents();
             failures += !Save(Shown("Main"), out.filePath("frame.png"));
             Shown("Main")->findChild<QAction*>("?HELPABOUT")->trigger();
         }},
        {[] { return Shown("AboutBox") != nullptr; },
         [&] {
             failures += !Save(Shown("AboutBox"), out.filePath("about.png"));
             Shown("AboutBox")->findChild<QPushButton*>("?CLOSE")->click();
         }},
        {[] { return !Shown("AboutBox"); },
         [] { Shown("Main")->findChild<QPushButton*>("?CHANGE:2")->click(); }},
        {[] { return Shown("UpdateRESFile") != nullptr; },
         [&] {
             tabs("UpdateRESFile", "?SHEET1",
                  {"form-general.png", "form-advanced.png", "form-extra.png", "form-notes.png"});
             Shown("UpdateRESFile")->findChild<QPushButton*>("?CANCEL")->click();
         }},
        {[] { return !Shown("UpdateRESFile"); },
         [] { Shown("Main")->findChild<QPushButton*>("?PREVIEWRESFILE")->click(); }},
        {[] { return Shown("PreviewRES") != nullptr; },
         [&] {
             tabs("PreviewRES", "?SHEET1",
                  {"preview-general.png", "preview-version.png", "preview-security.png", "preview-summary.png"});
             Shown("PreviewRES")->findChild<QPushButton*>("?CLOSE")->click();
         }},
        {[] { return !Shown("PreviewRES"); },
         [] { Shown("Main")->findChild<QPushButton*>("?BUILDHISTORY")->click(); }},
        {[] { return Shown("BuildHistory") != nullptr; },
         [&] {
             QApplication::processEvents();
             failures += !Save(Shown("BuildHistory"), out.filePath("history.png"));
             Shown("BuildHistory")->findChild<QPushButton*>("?CLOSE")->click();
         }},
        {[] { return !Shown("BuildHistory"); }, [&] { windows.CloseDown(); }},
    };
    size_t step = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (step < steps.size() && steps[step].Ready()) steps[step++].Act();
    });
    timer.start(50);
    QTimer::singleShot(30000, [&] {
        std::fprintf(stderr, "step %zu never became ready\n", step);
        windows.CloseDown();
    });
    Main();

    SetWindowSystem(nullptr);
    GlobalSettings().Close();
    DictionaryShutdown();
    GlobalMessages().Shutdown();
    return failures == 0 && step == steps.size() ? 0 : 1;
}
