// The entry of the windows module: the program loads this module and calls here when it
// starts without a command line.
#include <QApplication>
#include <cstdio>
#include <string>

#include "core/ProgramNames.h"
#include "core/Startup.h"
#include "export/ExportRESFile.h"
#include "framework/MessageManager.h"
#include "runtime/platform/ModulePath.h"
#include "runtime/qt/DisplayProbe.h"
#include "runtime/qt/Pictures.h"
#include "runtime/platform/FileDialogs.h"
#include "runtime/qt/QtFileDialogs.h"
#include "runtime/qt/QtHistoryWindow.h"
#include "runtime/qt/QtMessageDialog.h"
#include "runtime/qt/QtWindowSystem.h"
#include "windows/BrowseRESFile.h"
#include "windows/Main.h"
#include "windows/ProcedureTable.h"
#include "windows/StartupProbe.h"

extern "C" __attribute__((visibility("default"))) int VerdoInteractiveMain(int argc, char** argv) {
    using namespace verdo;
    // Without a display the window library would end the process with its own abort;
    // the build-time run needs none, which is worth saying.
    std::string why;
    if (!DisplayReachable(why)) {
        std::fprintf(stderr, "VERDO: %s With a project number on the command line (verdo 12) VERDO runs without one.\n",
                     why.c_str());
        return 0;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName("VERDO");
    QApplication::setWindowIcon(LoadIcon("Verdo.ico"));
    QtWindowSystem windows;
    SetWindowSystem(&windows);
    QtMessageDialog dialog;
    QtHistoryWindow history;
    QtFileDialogs fileDialogs;
    SetFileDialogs(&fileDialogs);
    GlobalMessages().SetDialog(&dialog);
    GlobalMessages().SetHistoryDialog(&history);
    InstallStartupProbe();
    RegisterProcedure("BrowseRESFile", [] { BrowseRESFile(); });
    RunProgram(ModuleFileName(), CommandTailFrom(argc, argv), [](int32_t project) { ExportRESFile(project, BuildTimeRun); },
               [] { Main(); });
    GlobalMessages().SetDialog(nullptr);
    GlobalMessages().SetHistoryDialog(nullptr);
    SetFileDialogs(nullptr);
    SetWindowSystem(nullptr);
    return 0;
}
