#include "windows/StartupProbe.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "runtime/window/WindowSystem.h"

namespace verdo {

namespace {

long long MonotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

class StartupProbe final : public QObject {
public:
    StartupProbe(std::string report, int hold) : QObject(qApp), report_(std::move(report)), hold_(hold) {}

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(object);
        if (!widget || !widget->isWindow()) return false;
        const QString name = widget->objectName();
        if (event->type() == QEvent::Show && name == QLatin1String("VerdoSplash") && splashShown_ == 0) {
            splashShown_ = MonotonicNs();
            QTimer::singleShot(0, widget, [widget] {
                QPoint centre = widget->rect().center();
                auto* click = new QMouseEvent(QEvent::MouseButtonPress, centre, widget->mapToGlobal(centre),
                                              Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
                QApplication::postEvent(widget, click);
            });
        } else if (event->type() == QEvent::Hide && name == QLatin1String("VerdoSplash") && splashGone_ == 0) {
            splashGone_ = MonotonicNs();
        } else if (event->type() == QEvent::Show && name == QLatin1String("Main") && frameShown_ == 0) {
            frameShown_ = MonotonicNs();
            if (FILE* out = std::fopen(report_.c_str(), "w")) {
                std::fprintf(out, "%lld %lld %lld\n", splashShown_, splashGone_, frameShown_);
                std::fclose(out);
            }
            QTimer::singleShot(hold_, qApp, [] {
                if (WindowSystem* windows = CurrentWindowSystem()) windows->CloseDown();
            });
        }
        return false;
    }

private:
    std::string report_;
    int hold_;
    long long splashShown_ = 0;
    long long splashGone_ = 0;
    long long frameShown_ = 0;
};

}  // namespace

void InstallStartupProbe() {
    const char* report = std::getenv("VERDO_STARTUP_REPORT");
    if (!report || !*report || !qApp) return;
    // How long the frame stays before it closes: long enough, when asked, for a window
    // manager to have put its frame around it.
    const char* hold = std::getenv("VERDO_STARTUP_HOLD_MS");
    int holdMs = hold ? std::clamp(std::atoi(hold), 0, 10000) : 0;
    qApp->installEventFilter(new StartupProbe(report, holdMs));
}

}  // namespace verdo
