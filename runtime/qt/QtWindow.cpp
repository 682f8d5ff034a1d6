#include "runtime/qt/QtWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QResizeEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPalette>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>

#include "runtime/LogicalThread.h"
#include "runtime/qt/ControlFactory.h"
#include "runtime/qt/ControlKinds.h"
#include "runtime/qt/KeyCodes.h"
#include "runtime/qt/ListWidgets.h"
#include "runtime/qt/MdiArrange.h"
#include "runtime/qt/Pictures.h"
#include "runtime/qt/QtWindowSystem.h"
#include "runtime/qt/StatusZones.h"
#include "runtime/window/EventCodes.h"

namespace verdo {

// The area the controls of a window are placed on, sized in dialog units.
class ClientArea final : public QWidget {
public:
    using QWidget::QWidget;
    void SetHint(QSize hint) {
        hint_ = hint;
        updateGeometry();
    }
    QSize sizeHint() const override { return hint_; }
    std::function<void(QSize)> OnResize;

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        if (OnResize) OnResize(event->size());
    }

private:
    QSize hint_;
};

// Watches what the user does to the window: keys, mouse keys, activation, the close
// box, focus moves and the window's timer.
class WindowAgent final : public QObject {
public:
    explicit WindowAgent(QtWindow& window) : window_(window) {
        QObject::connect(qApp, &QApplication::focusChanged, this,
                         [this](QWidget* from, QWidget* to) { window_.OnFocusChanged(from, to); });
        QObject::connect(&timer_, &QTimer::timeout, this, [this] {
            if (!window_.queue_.Contains(Event::Timer)) window_.PostEvent(Event::Timer);
        });
        qApp->installEventFilter(this);
    }
    ~WindowAgent() override { qApp->removeEventFilter(this); }
    QTimer& Timer() { return timer_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!watched->isWidgetType() || window_.closed_) return false;
        auto* widget = static_cast<QWidget*>(watched);
        switch (event->type()) {
            case QEvent::KeyPress: {
                // A key goes first to the focus widget and then up to its parents; it
                // is looked at once, where it starts.
                QWidget* focus = QApplication::focusWidget();
                if (focus ? widget != focus : widget != window_.root_) return false;
                return window_.Owns(widget) && window_.OnKeyPress(*static_cast<QKeyEvent*>(event));
            }
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
            case QEvent::MouseButtonRelease:
                return window_.Owns(widget) && window_.OnMousePress(widget, *static_cast<QMouseEvent*>(event));
            case QEvent::WindowActivate:
            case QEvent::WindowDeactivate:
                if (widget == window_.root_) window_.CheckActive();
                return false;
            case QEvent::Close:
                if (widget != window_.root_ || window_.allowClose_) return false;
                event->ignore();
                window_.OnCloseBox();
                return true;
            case QEvent::Move:
                if (widget == window_.root_) window_.NoteGeometry();
                return false;
            case QEvent::Resize:
                if (widget == window_.root_) {
                    window_.NoteGeometry();
                    window_.OnResized();
                }
                return false;
            default:
                return false;
        }
    }

private:
    QtWindow& window_;
    QTimer timer_;
};

namespace {

void SetWallpaper(QWidget* widget, const std::string& picture) {
    QPixmap pixmap = LoadPicture(picture);
    if (pixmap.isNull()) return;
    QPalette palette = widget->palette();
    palette.setBrush(QPalette::Window, QBrush(pixmap));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

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

void QtWindow::BuildRoot() {
    if (def_.Kind == WindowKind::Frame) {
        BuildFrame();
    } else {
        BuildChild();
    }
    root_->setObjectName(QString::fromStdString(def_.Procedure));
    root_->setWindowTitle(QString::fromStdString(def_.Title));
    QIcon icon = LoadIcon(def_.Icon);
    if (!icon.isNull()) root_->setWindowIcon(icon);
    root_->setFont(font_);
}

void QtWindow::BuildFrame() {
    auto* main = new QMainWindow;
    root_ = main;
    mdi_ = new QMdiArea(main);
    mdi_->setObjectName(QStringLiteral("MdiArea"));
    QPixmap wallpaper = LoadPicture(def_.Wallpaper);
    if (!wallpaper.isNull()) mdi_->setBackground(QBrush(wallpaper));
    main->setCentralWidget(mdi_);
    bool hasMenus = std::any_of(def_.Controls.begin(), def_.Controls.end(),
                                [](const ControlDef& c) { return c.Kind == ControlKind::Menu || c.Kind == ControlKind::MenuItem; });
    if (hasMenus) menuBar_ = main->menuBar();
    if (def_.ToolbarHeight > 0) {
        auto* toolbar = new QToolBar(main);
        toolbar->setObjectName(QStringLiteral("Toolbar"));
        toolbar->setMovable(false);
        toolbar->setFloatable(false);
        toolbar->setContentsMargins(0, 0, 0, 0);
        toolbar->layout()->setContentsMargins(0, 0, 0, 0);
        toolbar->layout()->setSpacing(0);
        toolbarArea_ = new QWidget;
        toolbarArea_->setObjectName(QStringLiteral("ToolbarArea"));
        toolbarArea_->setFixedHeight(units_.ToPixelsY(def_.ToolbarHeight));
        toolbarArea_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        SetWallpaper(toolbarArea_, def_.ToolbarWallpaper);
        toolbar->addWidget(toolbarArea_);
        main->addToolBar(Qt::TopToolBarArea, toolbar);
    }
    if (!def_.StatusZones.empty()) zones_ = std::make_unique<StatusZones>(main->statusBar(), def_.StatusZones, units_);
}

void QtWindow::BuildChild() {
    auto client = std::make_unique<ClientArea>();
    client_ = client.get();
    client_->setObjectName(QString::fromStdString(def_.Procedure) + QStringLiteral(":client"));
    SetWallpaper(client_, def_.Wallpaper);
    if (def_.Background != 0) {
        QPalette palette = client_->palette();
        palette.setColor(QPalette::Window, QColor::fromRgb(def_.Background));
        client_->setPalette(palette);
        client_->setAutoFillBackground(true);
    }
    QtWindow* frame = system_.Frame();
    if (def_.Kind == WindowKind::MdiChild && frame && frame->FrameArea()) {
        auto* sub = new QMdiSubWindow;
        sub->setWidget(client.release());
        sub->setAttribute(Qt::WA_DeleteOnClose, false);
        frame->FrameArea()->addSubWindow(sub);
        sub->hide();
        root_ = sub;
        return;
    }
    QWidget* top = nullptr;
    if (def_.Kind == WindowKind::Dialog || def_.Kind == WindowKind::Popup) {
        auto* dialog = new QDialog(nullptr, def_.Kind == WindowKind::Popup ? Qt::Dialog | Qt::FramelessWindowHint : Qt::Dialog);
        dialog->setModal(false);
        top = dialog;
    } else {
        top = new QWidget(nullptr, Qt::Window);
    }
    auto* layout = new QVBoxLayout(top);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(client.release());
    if (!def_.Resizable) layout->setSizeConstraint(QLayout::SetFixedSize);
    root_ = top;
}

void QtWindow::BuildControls() {
    controls_.reserve(def_.Controls.size());
    for (size_t i = 0; i < def_.Controls.size(); ++i) {
        controls_.push_back(ControlFactory::Create(def_.Controls[i], static_cast<int>(i) + 1, *this));
        hidden_.push_back(def_.Controls[i].Hidden);
    }
    for (const auto& control : controls_) {
        if (control->Def().Disabled) control->SetEnabled(false);
        if (QWidget* widget = control->Widget()) widgetControl_[widget] = control->Number();
    }
    for (int layer = 0; layer <= 3; ++layer)
        for (const auto& control : controls_)
            if (control->Layer() == layer && control->Widget()) control->Widget()->raise();
    AttachPromptBuddies(controls_);
    ApplyVisibility();
}

void QtWindow::PlaceInitially() {
    QSize size(units_.ToPixelsX(def_.Width), units_.ToPixelsY(def_.Height));
    if (client_) {
        client_->SetHint(size);
        if (!def_.Resizable) client_->setFixedSize(size);
        client_->resize(size);
        client_->OnResize = [this](QSize now) { FollowClientSize(now); };
    }
    root_->resize(size + Decorations());
    if (def_.X >= 0 && def_.Y >= 0) MoveTo(QPoint(units_.ToPixelsX(def_.X), units_.ToPixelsY(def_.Y)));
    normal_ = QRect(TopLeft(), root_->size());
}

QSize QtWindow::Decorations() const {
    if (mdi_) return QSize(0, menuBar_ ? menuBar_->sizeHint().height() : 0);
    if (auto* sub = qobject_cast<QMdiSubWindow*>(root_.data())) {
        QSize framed = sub->sizeHint() - client_->sizeHint();
        return framed.isValid() ? framed : QSize(0, 0);
    }
    return QSize(0, 0);
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
    if (modal) root_->setWindowModality(Qt::ApplicationModal);
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
    if (opened_) PostEvent(code, control, key);
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

int QtWindow::PixelWidth() const { return root_ ? root_->width() : 0; }
int QtWindow::PixelHeight() const { return root_ ? root_->height() : 0; }

void QtWindow::SetRoundedRegion(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight) {
    if (!root_) return;
    QRect area(left, top, right - left, bottom - top);
    if (area.width() <= 0 || area.height() <= 0) {
        // An empty mask would show the whole window again: a region off the window
        // shows nothing instead.
        root_->setMask(QRegion(-1, -1, 1, 1));
        return;
    }
    int cw = std::clamp(cornerWidth, 0, area.width());
    int ch = std::clamp(cornerHeight, 0, area.height());
    QRegion region(area.adjusted(cw / 2, 0, -(cw / 2), 0));
    region += QRegion(area.adjusted(0, ch / 2, 0, -(ch / 2)));
    if (cw > 0 && ch > 0) {
        region += QRegion(QRect(area.left(), area.top(), cw, ch), QRegion::Ellipse);
        region += QRegion(QRect(area.right() - cw + 1, area.top(), cw, ch), QRegion::Ellipse);
        region += QRegion(QRect(area.left(), area.bottom() - ch + 1, cw, ch), QRegion::Ellipse);
        region += QRegion(QRect(area.right() - cw + 1, area.bottom() - ch + 1, cw, ch), QRegion::Ellipse);
    }
    root_->setMask(region);
    root_->update();
}

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

void QtWindow::SetMinimumSize(int width, int height) {
    QSize minimum(units_.ToPixelsX(width), units_.ToPixelsY(height));
    if (client_) {
        client_->setMinimumSize(minimum);
    } else if (root_) {
        root_->setMinimumSize(minimum + Decorations());
    }
}

void QtWindow::SetResizeStrategy(int strategy) {
    resizeStrategy_ = def_.Resizable ? strategy : 0;
    if (client_) FollowClientSize(client_->size());
}

void QtWindow::FollowClientSize(QSize size) {
    if (resizeStrategy_ == 0) return;
    const int dw = std::max(0, units_.FromPixelsX(size.width()) - def_.Width);
    const int dh = std::max(0, units_.FromPixelsY(size.height()) - def_.Height);
    for (const auto& control : controls_) {
        const ControlDef& d = control->Def();
        QWidget* widget = control->Widget();
        if (!widget || widget->parentWidget() != client_ || d.Kind == ControlKind::ToolButton) continue;
        int width = d.Width > 0 ? d.Width : units_.FromPixelsX(widget->width());
        int height = d.Height > 0 ? d.Height : units_.FromPixelsY(widget->height());
        int x = d.X, y = d.Y;
        bool grows = d.Kind == ControlKind::Sheet || d.Kind == ControlKind::List || d.Kind == ControlKind::Text;
        if (grows) {
            width += dw;
            height += dh;
        } else {
            if (2 * d.X + width > def_.Width) x += dw;
            if (2 * d.Y > def_.Height) y += dh;
        }
        widget->setGeometry(units_.ToPixels(x, y, width, height));
    }
}

void QtWindow::OnResized() {
    if (opened_ && !closed_ && def_.Resizable && !queue_.Contains(Event::Sized)) PostEvent(Event::Sized);
}

ListWidgets* QtWindow::ListAt(int control) const { return dynamic_cast<ListWidgets*>(ControlAt(control)); }

void QtWindow::SetListFields(int control, const std::vector<const FieldDef*>& fields) {
    if (ListWidgets* list = ListAt(control)) list->SetFields(fields);
}

void QtWindow::SetListRows(int control, const std::vector<std::string>& rows) {
    if (ListWidgets* list = ListAt(control)) list->SetRows(rows);
}

int QtWindow::ListRowsShown(int control) const {
    ListWidgets* list = ListAt(control);
    return list ? list->RowsShown() : 1;
}

std::string QtWindow::GetListFormat(int control) const {
    ListWidgets* list = ListAt(control);
    return list ? list->Format() : std::string();
}

bool QtWindow::SetListFormat(int control, const std::string& format) {
    ListWidgets* list = ListAt(control);
    return list && list->SetFormat(format);
}

int QtWindow::ListThumb(int control) const {
    ListWidgets* list = ListAt(control);
    return list ? list->Thumb() : 0;
}

void QtWindow::SetListThumb(int control, int percent) {
    if (ListWidgets* list = ListAt(control)) list->SetThumb(percent);
}

int QtWindow::ListClickedColumn(int control) const {
    ListWidgets* list = ListAt(control);
    return list ? list->ClickedColumn() : 1;
}

void QtWindow::EditListRow(int control, int row, const std::vector<FieldRef>& cells, int column) {
    if (ListWidgets* list = ListAt(control)) list->EditRow(row, cells, column);
}

void QtWindow::FocusListEdit(int control, int column) {
    if (ListWidgets* list = ListAt(control)) list->FocusEdit(column);
}

void QtWindow::UpdateListEdit(int control) {
    if (ListWidgets* list = ListAt(control)) list->UpdateEdit();
}

void QtWindow::EndListEdit(int control) {
    if (ListWidgets* list = ListAt(control)) list->EndEdit();
}

void QtWindow::PressKeys(const std::vector<int>& keys) {
    for (int code : keys) {
        int virtualKey = code & 0xFF;
        Qt::KeyboardModifiers modifiers;
        if (code & Key::ShiftFlag) modifiers |= Qt::ShiftModifier;
        if (code & Key::CtrlFlag) modifiers |= Qt::ControlModifier;
        if (code & Key::AltFlag) modifiers |= Qt::AltModifier;
        int key = QtKey(virtualKey);
        if (key == 0) continue;
        QString text = virtualKey == 0x20 && modifiers == Qt::NoModifier ? QStringLiteral(" ") : QString();
        QPointer<QWidget> root = root_;
        QMetaObject::invokeMethod(qApp, [root, key, modifiers, text] {
            QWidget* target = QApplication::focusWidget();
            if (!root || !target) return;
            QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
            QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
            QApplication::sendEvent(target, &press);
            QApplication::sendEvent(target, &release);
        }, Qt::QueuedConnection);
    }
}

int QtWindow::PopupMenu(const std::vector<PopupEntry>& entries) {
    if (!root_ || closed_) return 0;
    QMenu menu(root_);
    menu.setObjectName(QStringLiteral("PopupMenu"));
    std::vector<QAction*> actions;
    for (const PopupEntry& entry : entries) {
        if (entry.Separator) {
            actions.push_back(menu.addSeparator());
            continue;
        }
        QAction* action = menu.addAction(QString::fromStdString(entry.Text));
        action->setEnabled(entry.Enabled);
        actions.push_back(action);
    }
    QAction* chosen = menu.exec(QCursor::pos());
    auto found = std::find(actions.begin(), actions.end(), chosen);
    return chosen && found != actions.end() ? static_cast<int>(found - actions.begin()) + 1 : 0;
}

bool QtWindow::IsMinimized() const { return root_ && root_->isMinimized(); }
bool QtWindow::IsMaximized() const { return root_ && root_->isMaximized(); }

QRect QtWindow::NormalGeometry() const {
    if (!root_) return {};
    if (IsMinimized() || IsMaximized()) return normal_;
    return QRect(TopLeft(), root_->size());
}

// A top-level window is placed by its client area: a window manager that adds a frame
// around it may or may not have done so yet, and the client area is where the window
// comes back to whatever the frame.
QPoint QtWindow::TopLeft() const { return root_->isWindow() ? root_->geometry().topLeft() : root_->pos(); }

void QtWindow::MoveTo(QPoint at) {
    if (root_->isWindow()) {
        root_->setGeometry(QRect(at, root_->size()));
    } else {
        root_->move(at);
    }
}

void QtWindow::NoteGeometry() {
    if (root_ && !IsMinimized() && !IsMaximized()) normal_ = QRect(TopLeft(), root_->size());
}

int QtWindow::X() const { return units_.FromPixelsX(NormalGeometry().x()); }
int QtWindow::Y() const { return units_.FromPixelsY(NormalGeometry().y()); }
int QtWindow::Width() const { return units_.FromPixelsX(NormalGeometry().width() - Decorations().width()); }
int QtWindow::Height() const { return units_.FromPixelsY(NormalGeometry().height() - Decorations().height()); }

namespace {
// Placements come from a settings file that anyone may edit: far beyond any screen a
// window would open where nobody can reach it, so values are held to a sane range.
constexpr int PlacementLimit = 32767;
int Sane(int units) { return std::clamp(units, -PlacementLimit, PlacementLimit); }
// How much of a window stays within reach, in pixels.
constexpr int ReachableEdge = 64;
}  // namespace

QRect QtWindow::PlacementArea(std::optional<QPoint> at) const {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(root_.data()); sub && sub->mdiArea())
        return sub->mdiArea()->viewport()->rect();
    // The screen under the window's title (or where it is to go): with several screens a
    // window kept on the second one comes back there.
    QPoint corner = at.value_or(NormalGeometry().topLeft());
    QScreen* screen = QGuiApplication::screenAt(corner + QPoint(ReachableEdge / 2, ReachableEdge / 4));
    if (!screen) screen = root_->screen() ? root_->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void QtWindow::SetPosition(int x, int y) {
    if (!root_) return;
    QPoint at(units_.ToPixelsX(Sane(x)), units_.ToPixelsY(Sane(y)));
    QRect area = PlacementArea(at);
    if (area.isValid()) {
        int width = std::max(root_->width(), ReachableEdge);
        at.setX(std::clamp(at.x(), area.left() - width + ReachableEdge, area.right() - ReachableEdge));
        // The title bar above the client area must stay on the screen to be dragged.
        int title = root_->isWindow() ? root_->geometry().top() - root_->frameGeometry().top() : 0;
        at.setY(std::clamp(at.y(), area.top() + title, std::max(area.top() + title, area.bottom() - ReachableEdge)));
    }
    if (IsMinimized() || IsMaximized()) {
        normal_.moveTopLeft(at);
        return;
    }
    MoveTo(at);
    NoteGeometry();
}

void QtWindow::SetSize(int width, int height) {
    if (!root_) return;
    QSize size(units_.ToPixelsX(std::clamp(width, 1, PlacementLimit)), units_.ToPixelsY(std::clamp(height, 1, PlacementLimit)));
    // Held within the screen (or the frame's client area), less whatever frame is around.
    if (QRect area = PlacementArea(); area.isValid()) {
        QSize frame = root_->isWindow() ? root_->frameGeometry().size() - root_->size() : QSize(0, 0);
        size = size.boundedTo(area.size() - Decorations() - frame.expandedTo(QSize(0, 0)));
    }
    if (client_) {
        client_->SetHint(size);
        if (!def_.Resizable) client_->setFixedSize(size);
    }
    if (IsMinimized() || IsMaximized()) {
        normal_.setSize(size + Decorations());
        return;
    }
    root_->resize(size + Decorations());
    NoteGeometry();
}

void QtWindow::SetMaximized(bool maximized) {
    if (!root_ || IsMaximized() == maximized) return;
    if (!root_->isVisible()) {
        root_->setWindowState(maximized ? (root_->windowState() | Qt::WindowMaximized) : (root_->windowState() & ~Qt::WindowMaximized));
        return;
    }
    QRect normal = normal_;
    if (maximized) {
        root_->showMaximized();
    } else {
        root_->showNormal();
        MoveTo(normal.topLeft());
        root_->resize(normal.size());
    }
    normal_ = normal;
}

void QtWindow::OnFocusChanged(QWidget* from, QWidget* to) {
    if (closed_ || !opened_) return;
    CheckActive();
    int left = ControlOf(from);
    int entered = ControlOf(to);
    if (left == entered) return;
    if (left != 0 && ControlAt(left)->Update()) PostEvent(Event::Accepted, left);
    if (entered != 0) {
        PostEvent(Event::Selected, entered);
        if (StatusZones* zones = StatusTarget()) zones->SetFocusMessage(QString::fromStdString(ControlAt(entered)->Def().Message));
    } else if (Owns(to) && left != 0) {
        if (StatusZones* zones = StatusTarget()) zones->SetFocusMessage({});
    }
}

bool QtWindow::OnKeyPress(QKeyEvent& event) {
    if (QtControl* focused = ControlAt(FocusedControl())) {
        QtControl::KeyUse use = focused->KeyPressed(event);
        if (use == QtControl::KeyTaken) return true;
        if (use == QtControl::KeyToWidget) return false;
    }
    if ((event.key() == Qt::Key_Tab || event.key() == Qt::Key_Backtab) && (event.modifiers() & Qt::ControlModifier) &&
        TurnTab(event.key() == Qt::Key_Backtab || (event.modifiers() & Qt::ShiftModifier)))
        return true;
    int code = KeyCode(event);
    if (code != 0) {
        int focused = FocusedControl();
        int control = alerts_.count({focused, code}) && focused != 0 ? focused : alerts_.count({0, code}) ? 0 : -1;
        if (control >= 0) {
            PostEvent(Event::AlertKey, control, code);
            return true;
        }
    }
    if (event.key() == Qt::Key_Escape && event.modifiers() == Qt::NoModifier) {
        if (def_.Kind == WindowKind::Frame) return false;
        OnCloseBox();
        return true;
    }
    bool enter = event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
    if (enter && !qobject_cast<QDialog*>(root_.data())) {
        // Outside a dialog, Enter presses the focused button or else the default one.
        QWidget* focus = QApplication::focusWidget();
        if (qobject_cast<QPlainTextEdit*>(focus)) return false;
        if (auto* button = qobject_cast<QAbstractButton*>(focus)) {
            button->click();
            return true;
        }
        for (const auto& control : controls_) {
            auto* button = qobject_cast<QPushButton*>(control->Widget());
            if (button && button->isDefault() && button->isEnabled() && button->isVisible()) {
                button->click();
                return true;
            }
        }
    }
    return false;
}

bool QtWindow::OnMousePress(QWidget* target, QMouseEvent& event) {
    int code = MouseKeyCode(event);
    if (code == 0) return false;
    int under = ControlOf(target);
    int control = under != 0 && alerts_.count({under, code}) ? under : alerts_.count({0, code}) ? 0 : -1;
    if (control < 0) return false;
    PostEvent(Event::AlertKey, control, code);
    return true;
}

bool QtWindow::TurnTab(bool back) {
    for (const auto& sheet : controls_) {
        if (sheet->Def().Kind != ControlKind::Sheet || !IsShown(*sheet)) continue;
        std::vector<QtControl*> tabs;
        for (const auto& c : controls_)
            if (c->Def().Kind == ControlKind::Tab && c->Def().Parent == sheet->Def().Name && IsShown(*c)) tabs.push_back(c.get());
        if (tabs.empty()) return false;
        auto current = std::find_if(tabs.begin(), tabs.end(), [](QtControl* t) { return t->ChildrenShown(); });
        size_t at = current == tabs.end() ? 0 : static_cast<size_t>(current - tabs.begin());
        QtControl* next = tabs[(at + (back ? tabs.size() - 1 : 1)) % tabs.size()];
        next->Focus();
        // The focus goes to the first control on the tab that takes it.
        for (const auto& c : controls_) {
            if (c->Def().Parent != next->Def().Name) continue;
            Select(c->Number());
            break;
        }
        return true;
    }
    return false;
}

void QtWindow::OnCloseBox() {
    if (opened_ && !queue_.Contains(Event::CloseWindow)) PostEvent(Event::CloseWindow);
}

void QtWindow::CheckActive() {
    bool now = false;
    if (root_ && !closed_ && root_->isVisible()) {
        auto* sub = qobject_cast<QMdiSubWindow*>(root_.data());
        now = root_->isActiveWindow() && (!sub || (sub->mdiArea() && sub->mdiArea()->activeSubWindow() == sub));
    }
    if (now == active_) return;
    active_ = now;
    if (opened_) PostEvent(now ? Event::GainFocus : Event::LoseFocus);
}

}  // namespace verdo
