#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include "framework/MessageManager.h"
#include "runtime/qt/QtWindowSystem.h"
#include "runtime/window/WindowSystem.h"
#include "tests/runtime/qt/QtTestSupport.h"
#include "windows/VerdoSplash.h"

using namespace verdo;

namespace {

QWidget* Splash() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("VerdoSplash") && w->isVisible()) return w;
    return nullptr;
}

class SplashWindow : public ::testing::Test {
protected:
    void SetUp() override {
        GlobalMessages().Initialise();
        SetWindowSystem(&windows);
    }
    void TearDown() override {
        SetWindowSystem(nullptr);
        GlobalMessages().Shutdown();
    }
    QtWindowSystem windows;
};

}  // namespace

TEST_F(SplashWindow, ShowsRoundedAndGoesByItselfAfterThreeSeconds) {
    bool rounded = false;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (QWidget* splash = Splash(); splash && !rounded) {
            QRegion outline = splash->mask();
            rounded = !outline.isEmpty() && outline.contains(splash->rect().center()) &&
                      !outline.contains(QPoint(0, 0)) && outline.contains(QPoint(splash->width() / 2, 0));
        }
    });
    probe.start(20);
    QElapsedTimer clock;
    clock.start();
    VerdoSplash();
    EXPECT_GE(clock.elapsed(), 2900);
    EXPECT_LT(clock.elapsed(), 8000);
    EXPECT_TRUE(rounded) << "the corners are cut off";
    EXPECT_TRUE(GlobalMessages().PROCNAMES.empty()) << "its name is popped again";
}

TEST_F(SplashWindow, AnotherWindowTakingTheFocusClosesIt) {
    QWidget other;
    other.setObjectName("Other");
    QTimer::singleShot(0, [&] {
        ASSERT_TRUE(test::SpinUntil([] { return Splash() != nullptr && Splash()->isActiveWindow(); }));
        other.show();
        other.activateWindow();
    });
    QElapsedTimer clock;
    clock.start();
    VerdoSplash();
    EXPECT_LT(clock.elapsed(), 2500) << "closed on the focus loss, not by its timer";
}
