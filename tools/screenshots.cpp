// Renders the frame, the splash and the about box offscreen into PNG files:
//   screenshots OUTPUT-DIRECTORY
// It runs the real windows over a fresh, empty program directory.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <string>

#include "core/Dictionary.h"
#include "core/ProgramNames.h"
#include "framework/MessageManager.h"
#include "framework/SettingsFile.h"
#include "runtime/qt/QtWindowSystem.h"
#include "windows/Main.h"

namespace {

QWidget* Shown(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String(name) && w->isVisible()) return w;
    return nullptr;
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

    using namespace verdo;
    ComposeNames(programDir.path().toStdString() + "/verdo", "");
    GlobalMessages().Initialise();
    DictionaryStartup(GlobalMessages());
    GlobalSettings().Open(SettingsFileName);
    QtWindowSystem windows;
    SetWindowSystem(&windows);

    int failures = 0;
    int step = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        switch (step) {
            case 0:
                if (QWidget* splash = Shown("VerdoSplash")) {
                    failures += !Save(splash, out.filePath("splash.png"));
                    QPoint centre = splash->rect().center();
                    QMouseEvent click(QEvent::MouseButtonPress, centre, splash->mapToGlobal(centre), Qt::LeftButton,
                                      Qt::LeftButton, Qt::NoModifier);
                    QApplication::sendEvent(splash, &click);
                    ++step;
                }
                break;
            case 1:
                if (QWidget* frame = Shown("Main")) {
                    failures += !Save(frame, out.filePath("frame.png"));
                    ++step;
                    frame->findChild<QAction*>("?HELPABOUT")->trigger();
                }
                break;
            case 2:
                if (QWidget* about = Shown("AboutBox")) {
                    failures += !Save(about, out.filePath("about.png"));
                    ++step;
                    about->findChild<QPushButton*>("?CLOSE")->click();
                }
                break;
            case 3:
                if (!Shown("AboutBox")) {
                    ++step;
                    windows.CloseDown();
                }
                break;
            default: break;
        }
    });
    timer.start(50);
    Main();

    SetWindowSystem(nullptr);
    GlobalSettings().Close();
    DictionaryShutdown();
    GlobalMessages().Shutdown();
    return failures == 0 && step == 4 ? 0 : 1;
}
