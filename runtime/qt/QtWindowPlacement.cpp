#include "runtime/qt/QtWindow.h"

#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <algorithm>

#include "runtime/qt/ClientArea.h"
#include "runtime/window/EventCodes.h"

namespace verdo {

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

void QtWindow::SetMinimumSize(int width, int height) {
    QSize minimum(units_.ToPixelsX(width), units_.ToPixelsY(height));
    if (client_) {
        client_->setMinimumSize(minimum);
    } else if (root_) {
        root_->setMinimumSize(minimum + Decorations());
    }
}

void QtWindow::OnResized() {
    if (opened_ && !closed_ && def_.Resizable && !queue_.Contains(Event::Sized)) PostEvent(Event::Sized);
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

}  // namespace verdo
