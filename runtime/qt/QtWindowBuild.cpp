#include "runtime/qt/QtWindow.h"

#include <QDialog>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPalette>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>

#include "runtime/qt/ClientArea.h"
#include "runtime/qt/ControlFactory.h"
#include "runtime/qt/ControlKinds.h"
#include "runtime/qt/Pictures.h"
#include "runtime/qt/QtWindowSystem.h"
#include "runtime/qt/StatusZones.h"

namespace verdo {

namespace {

void SetWallpaper(QWidget* widget, const std::string& picture) {
    QPixmap pixmap = LoadPicture(picture);
    if (pixmap.isNull()) return;
    QPalette palette = widget->palette();
    palette.setBrush(QPalette::Window, QBrush(pixmap));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}


}  // namespace

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
    if (hasMenus) {
        menuBar_ = main->menuBar();
        WatchMenuBarLeave(menuBar_, *this);
    }
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

}  // namespace verdo
