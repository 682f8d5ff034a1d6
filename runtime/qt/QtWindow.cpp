#include "runtime/qt/QtWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QEventLoop>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QThread>
#include <QTimer>
#include <algorithm>

#include "runtime/LogicalThread.h"
#include "runtime/qt/ClientArea.h"
#include "runtime/qt/MdiArrange.h"
#include "runtime/qt/QtWindowSystem.h"
#include "runtime/qt/StatusZones.h"
#include "runtime/qt/WindowAgent.h"
#include "runtime/window/EventCodes.h"

namespace verdo {

namespace {

// Cut, copy and paste go to the focused editor, or to the editor inside it.
void EditFocused(const char* operation) {
    QWidget* focus = QApplication::focusWidget();
    if (!focus) return;
    auto tryOn = [operation](QObject* target) {
        QByteArray signature = QByteArray(operation) + "()";
        if (target->metaObject()->indexOfMethod(signature.constData()) < 0) return false;
        return QMetaObject::invokeMethod(target, operation);
    };
    if (tryOn(focus)) return;
    if (auto* inner = focus->findChild<QLineEdit*>()) tryOn(inner);
}


}  // namespace

QtWindow::QtWindow(QtWindowSystem& system, const WindowDef& definition)
    : system_(system),
      def_(definition),
      font_(WindowFont(definition.Font, definition.FontSize)),
      units_(font_),
      thread_(CurrentThread()),
      alive_(std::make_shared<bool>(true)),
      queue_([this](const WindowEvent& event) { Deliver(event); }) {
    BuildRoot();
    BuildControls();
    PlaceInitially();
    agent_ = std::make_unique<WindowAgent>(*this);
    if (auto* sub = qobject_cast<QMdiSubWindow*>(root_.data()))
        QObject::connect(sub->mdiArea(), &QMdiArea::subWindowActivated, agent_.get(), [this] { CheckActive(); });
    system_.Register(*this);
}

QtWindow::~QtWindow() {
    *alive_ = false;
    system_.Unregister(*this);
    if (!closed_) {
        closed_ = true;
        for (QEventLoop* loop : loops_) loop->quit();
    }
    if (waitCursor_) QApplication::restoreOverrideCursor();
    agent_.reset();
    controls_.clear();
    std::unique_ptr<QWidget> root(root_.data());
}

void QtWindow::Open() {
    if (opened_ || closed_ || !root_) return;
    opened_ = true;
    Display();
    ApplyVisibility();
    queue_.Post({Event::OpenWindow, 0, 0});
    for (const auto& control : controls_) {
        QWidget* widget = control->Widget();
        if (widget && widget->isEnabled() && IsShown(*control) && (widget->focusPolicy() & Qt::TabFocus)) {
            widget->setFocus(Qt::OtherFocusReason);
            break;
        }
    }
    bool modal = def_.Kind == WindowKind::Dialog || def_.Kind == WindowKind::Popup;
    if (modal) {
        root_->setWindowModality(Qt::ApplicationModal);
        returnFocusTo_ = QApplication::activeWindow();
    }
    if (auto* sub = qobject_cast<QMdiSubWindow*>(root_.data())) {
        sub->show();
        sub->mdiArea()->setActiveSubWindow(sub);
    } else {
        if ((def_.X < 0 || def_.Y < 0) && def_.Kind != WindowKind::Frame) {
            QtWindow* frame = system_.Frame();
            QRect around = frame && frame->RootWidget() && frame->RootWidget()->isVisible()
                               ? frame->RootWidget()->geometry()
                               : (QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry() : QRect());
            if (around.isValid()) root_->move(around.center() - QRect(QPoint(), root_->size()).center());
        }
        root_->show();
        root_->raise();
        root_->activateWindow();
    }
    NoteGeometry();
    // A child window may have been made the active one while it was still being shown.
    CheckActive();
}

void QtWindow::RunEventLoop() {
    if (!IsOpen()) return;
    QEventLoop loop;
    loops_.push_back(&loop);
    std::shared_ptr<bool> alive = alive_;
    loop.exec();
    if (!*alive) return;
    loops_.erase(std::remove(loops_.begin(), loops_.end(), &loop), loops_.end());
}

void QtWindow::Close() { CloseNow(); }

void QtWindow::CloseNow() {
    if (closed_) return;
    closed_ = true;
    queue_.Clear();
    if (agent_) agent_->Timer().stop();
    if (waitCursor_) {
        waitCursor_ = false;
        QApplication::restoreOverrideCursor();
    }
    // A message of this window's controls must not outlive it in the frame's status bar.
    if (!zones_)
        if (StatusZones* zones = StatusTarget()) zones->SetFocusMessage({});
    if (root_) {
        allowClose_ = true;
        root_->close();
        root_->hide();
    }
    // The window the modal one was opened over is the user's again, on any desktop.
    if (returnFocusTo_ && returnFocusTo_->isVisible()) returnFocusTo_->activateWindow();
    for (QEventLoop* loop : loops_) loop->quit();
    system_.WindowClosed(*this);
}

void QtWindow::PostEvent(int code, int control, int key) {
    if (QThread::currentThread() != qApp->thread()) {
        std::weak_ptr<bool> alive = alive_;
        QMetaObject::invokeMethod(qApp, [this, alive, code, control, key] {
            if (auto living = alive.lock(); living && *living) PostEvent(code, control, key);
        }, Qt::QueuedConnection);
        return;
    }
    if (closed_) return;
    queue_.Post({code, control, key});
}

void QtWindow::PostControlEvent(int code, int control, int key) {
    if (!opened_) return;
    // A control accepted while the focus stays in another one (a mnemonic, a toolbar
    // button, a menu item) acts on the record as the user sees it.
    if (code == Event::Accepted && FocusedControl() != control) system_.SettleFocus();
    PostEvent(code, control, key);
}

void QtWindow::SettleFocused() {
    if (!opened_ || closed_) return;
    if (QtControl* focused = ControlAt(FocusedControl())) focused->Settle();
}

void QtWindow::Deliver(const WindowEvent& event) {
    if (closed_) return;
    int result = 0;
    std::shared_ptr<bool> alive = alive_;
    if (handler_) {
        ThreadScope scope(thread_);
        result = handler_->OnEvent(event);
    }
    if (!*alive || closed_) return;
    switch (event.Code) {
        case Event::CloseWindow:
            if (result != 0) break;
            if (IsFrame()) {
                system_.CloseFrame(*this);
            } else {
                CloseNow();
            }
            break;
        case Event::CloseDown:
            if (result == 0) {
                CloseNow();
            } else {
                system_.CloseDownRefused();
            }
            break;
        case Event::Accepted:
            if (result == 0) RunStandardAction(event.Control);
            break;
        default:
            break;
    }
}

void QtWindow::RunStandardAction(int control) {
    QtControl* target = ControlAt(control);
    if (!target) return;
    QMdiArea* area = MdiArea();
    switch (target->Def().Action) {
        case StandardAction::Close: PostEvent(Event::CloseWindow); break;
        case StandardAction::Cut: EditFocused("cut"); break;
        case StandardAction::Copy: EditFocused("copy"); break;
        case StandardAction::Paste: EditFocused("paste"); break;
        case StandardAction::Tile:
            if (area) area->tileSubWindows();
            break;
        case StandardAction::Cascade:
            if (area) area->cascadeSubWindows();
            break;
        case StandardAction::ArrangeIcons:
            if (area) ArrangeMinimized(*area);
            break;
        case StandardAction::None: break;
    }
}

QWidget* QtWindow::ControlParent() { return client_ ? static_cast<QWidget*>(client_) : static_cast<QWidget*>(mdi_); }

QMdiArea* QtWindow::MdiArea() {
    if (mdi_) return mdi_;
    QtWindow* frame = system_.Frame();
    return frame && frame != this ? frame->FrameArea() : nullptr;
}

QtControl* QtWindow::FindControl(const std::string& name) const {
    if (name.empty()) return nullptr;
    for (const auto& control : controls_)
        if (control->Def().Name == name) return control.get();
    return nullptr;
}

QtControl* QtWindow::ControlAt(int control) const {
    if (control < 1 || control > static_cast<int>(controls_.size())) return nullptr;
    return controls_[control - 1].get();
}

int QtWindow::ControlNumber(const std::string& name) const {
    QtControl* control = FindControl(name);
    return control ? control->Number() : 0;
}

std::string QtWindow::ControlName(int control) const {
    QtControl* found = ControlAt(control);
    return found ? found->Def().Name : std::string();
}

bool QtWindow::Owns(QWidget* widget) const {
    for (QWidget* w = widget; w; w = w->parentWidget()) {
        if (w == root_) return true;
        if (w->isWindow() || qobject_cast<QMdiSubWindow*>(w)) return false;
    }
    return false;
}

int QtWindow::ControlOf(QWidget* widget) const {
    if (!Owns(widget)) return 0;
    for (QWidget* w = widget; w && w != root_; w = w->parentWidget()) {
        auto found = widgetControl_.find(w);
        if (found != widgetControl_.end()) return found->second;
    }
    return 0;
}

int QtWindow::FocusedControl() const { return ControlOf(QApplication::focusWidget()); }

void QtWindow::Select(int control) {
    QtControl* target = ControlAt(control);
    if (!target) return;
    // A control that cannot take the focus (a frame, a text) passes it to the next one
    // that can, on the same tab.
    auto canFocus = [](const QtControl& c) {
        QWidget* w = c.Widget();
        return w && w->focusPolicy() != Qt::NoFocus && w->isEnabled() && c.Def().Kind != ControlKind::Sheet;
    };
    if (!canFocus(*target) && target->Def().Kind != ControlKind::Tab) {
        for (size_t i = static_cast<size_t>(control); i < controls_.size(); ++i) {
            if (controls_[i]->Def().Parent != target->Def().Parent) continue;
            if (canFocus(*controls_[i])) {
                target = controls_[i].get();
                break;
            }
        }
    }
    // A control on a tab that is not in front brings its tab to the front first.
    std::vector<QtControl*> tabs;
    for (QtControl* parent = FindControl(target->Def().Parent); parent && tabs.size() < 16;
         parent = FindControl(parent->Def().Parent))
        if (parent->Def().Kind == ControlKind::Tab) tabs.push_back(parent);
    for (auto it = tabs.rbegin(); it != tabs.rend(); ++it) (*it)->Focus();
    target->Focus();
}

void QtWindow::Display(int control) {
    // Showing the fields again must not take back what the user is typing.
    QtControl* focused = ControlAt(FocusedControl());
    if (focused && (control == 0 || control == focused->Number()) && focused->KeepEdit())
        PostEvent(Event::Accepted, focused->Number());
    if (control == 0) {
        for (const auto& c : controls_) c->Display();
    } else if (QtControl* target = ControlAt(control)) {
        target->Display();
    }
}

void QtWindow::Update(int control) {
    if (control == 0) {
        for (const auto& c : controls_) c->Update();
    } else if (QtControl* target = ControlAt(control)) {
        target->Update();
    }
}

void QtWindow::ValidateAll() {
    Update();
    PostEvent(Event::Completed);
}

void QtWindow::SetControlText(int control, const std::string& text) {
    if (QtControl* target = ControlAt(control)) target->SetText(QString::fromStdString(text));
}

void QtWindow::SetControlEnabled(int control, bool enabled) {
    if (QtControl* target = ControlAt(control)) target->SetEnabled(enabled);
}

bool QtWindow::IsControlEnabled(int control) const {
    QtControl* target = ControlAt(control);
    return target && target->IsEnabled();
}

void QtWindow::SetControlHidden(int control, bool hidden) {
    if (!ControlAt(control)) return;
    hidden_[control - 1] = hidden;
    ApplyVisibility();
}

bool QtWindow::IsShown(const QtControl& control, int depth) const {
    if (hidden_[control.Number() - 1]) return false;
    QtControl* parent = FindControl(control.Def().Parent);
    if (!parent || depth > 16) return true;
    return parent->ChildrenShown() && IsShown(*parent, depth + 1);
}

void QtWindow::ApplyVisibility() {
    for (const auto& control : controls_) control->SetShown(IsShown(*control));
}

void QtWindow::SetAlertKey(int control, int key) { alerts_.insert({control, key}); }

void QtWindow::SetTimer(int hundredths) {
    if (!agent_) return;
    if (hundredths <= 0) {
        agent_->Timer().stop();
    } else {
        agent_->Timer().start(hundredths * 10);
    }
}

StatusZones* QtWindow::StatusTarget() const {
    if (zones_) return zones_.get();
    QtWindow* frame = system_.Frame();
    return frame && frame != this ? frame->Zones() : nullptr;
}

void QtWindow::SetStatusText(int zone, const std::string& text) {
    if (StatusZones* zones = StatusTarget()) zones->SetText(zone, QString::fromStdString(text));
}

void QtWindow::ShowMessage(const std::string& message) {
    if (StatusZones* zones = StatusTarget()) zones->ShowTransient(QString::fromStdString(message));
}

void QtWindow::SetWaitCursor(bool wait) {
    if (wait == waitCursor_) return;
    waitCursor_ = wait;
    if (wait) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void QtWindow::Beep() { QApplication::beep(); }

void QtWindow::CopyText(const std::string& text) { QApplication::clipboard()->setText(QString::fromStdString(text)); }

void QtWindow::Sleep(int milliseconds) {
    if (milliseconds <= 0) return;
    QEventLoop pause;
    QTimer::singleShot(milliseconds, &pause, &QEventLoop::quit);
    pause.exec(QEventLoop::ExcludeUserInputEvents);
}

void QtWindow::SetTitle(const std::string& title) {
    if (root_) root_->setWindowTitle(QString::fromStdString(title));
}

int QtWindow::Choice(int control) const {
    QtControl* target = ControlAt(control);
    return target ? target->Choice() : 0;
}

void QtWindow::SetChoice(int control, int choice) {
    if (QtControl* target = ControlAt(control)) target->SetChoice(choice);
}

}  // namespace verdo
