#pragma once
#include <QFont>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <memory>
#include <optional>
#include <set>
#include <unordered_map>
#include <utility>
#include <vector>

#include "runtime/qt/DialogUnits.h"
#include "runtime/qt/EventQueue.h"
#include "runtime/qt/QtControl.h"
#include "runtime/window/Window.h"
#include "runtime/window/WindowDef.h"

class QEventLoop;
class QKeyEvent;
class QMdiArea;
class QMenuBar;
class QMouseEvent;

namespace verdo {

class ClientArea;
class ListWidgets;
class QtWindowSystem;
class StatusZones;
class WindowAgent;

// One window of the Qt window library, built from its definition when it is created
// and shown by Open. Its events reach the handler one at a time, each under the
// logical thread that created the window.
class QtWindow final : public Window, private ControlHost {
public:
    QtWindow(QtWindowSystem& system, const WindowDef& definition);
    ~QtWindow() override;

    const WindowDef& Definition() const override { return def_; }
    void SetHandler(WindowEventHandler* handler) override { handler_ = handler; }

    void Open() override;
    bool IsOpen() const override { return opened_ && !closed_; }
    void RunEventLoop() override;
    void Close() override;
    void PostEvent(int code, int control = 0, int key = 0) override;

    int ControlNumber(const std::string& name) const override;
    std::string ControlName(int control) const override;
    int FocusedControl() const override;
    void Select(int control) override;
    void Display(int control = 0) override;
    void Update(int control = 0) override;
    void ValidateAll() override;
    void SetControlText(int control, const std::string& text) override;
    void SetControlEnabled(int control, bool enabled) override;
    bool IsControlEnabled(int control) const override;
    void SetControlHidden(int control, bool hidden) override;
    void SetAlertKey(int control, int key) override;
    void SetTimer(int hundredths) override;
    void SetStatusText(int zone, const std::string& text) override;
    void SetWaitCursor(bool wait) override;
    void Beep() override;
    void CopyText(const std::string& text) override;

    int PixelWidth() const override;
    int PixelHeight() const override;
    void SetRoundedRegion(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight) override;
    void Sleep(int milliseconds) override;

    void SetTitle(const std::string& title) override;
    int Choice(int control) const override;
    void SetChoice(int control, int choice) override;
    void SetMinimumSize(int width, int height) override;
    void SetResizeStrategy(int strategy) override;

    void SetListFields(int control, const std::vector<const FieldDef*>& fields) override;
    void SetListRows(int control, const std::vector<std::string>& rows) override;
    int ListRowsShown(int control) const override;
    std::string GetListFormat(int control) const override;
    bool SetListFormat(int control, const std::string& format) override;
    int ListThumb(int control) const override;
    void SetListThumb(int control, int percent) override;
    int ListClickedColumn(int control) const override;
    int PopupMenu(const std::vector<PopupEntry>& entries) override;
    void PressKeys(const std::vector<int>& keys) override;
    void EditListRow(int control, int row, const std::vector<FieldRef>& cells, int column) override;
    void FocusListEdit(int control, int column) override;
    void UpdateListEdit(int control) override;
    void EndListEdit(int control) override;

    bool IsMinimized() const override;
    bool IsMaximized() const override;
    bool IsResizable() const override { return def_.Resizable; }
    int X() const override;
    int Y() const override;
    int Width() const override;
    int Height() const override;
    void SetPosition(int x, int y) override;
    void SetSize(int width, int height) override;
    void SetMaximized(bool maximized) override;

    // The top-level widget (a multi-document child's sub-window); its object name is
    // the procedure name.
    QWidget* RootWidget() const { return root_; }
    bool IsFrame() const { return def_.Kind == WindowKind::Frame && mdi_; }
    bool IsClosed() const { return closed_; }
    QMdiArea* FrameArea() const { return mdi_; }
    StatusZones* Zones() const { return zones_.get(); }
    // Closes without asking the handler; the window's loops end.
    void CloseNow();
    // The control of this window that has the focus puts what the user edited into its
    // field, before another control's action is delivered.
    void SettleFocused();


private:
    friend class WindowAgent;

    QWidget* ControlParent() override;
    QWidget* ToolbarArea() override { return toolbarArea_; }
    QMenuBar* MenuBar() override { return menuBar_; }
    QMdiArea* MdiArea() override;
    const DialogUnits& Units() const override { return units_; }
    QtControl* FindControl(const std::string& name) const override;
    void PostControlEvent(int code, int control, int key = 0) override;
    void ShowMessage(const std::string& message) override;
    void ChildrenVisibilityChanged() override { ApplyVisibility(); }

    void BuildRoot();
    void BuildFrame();
    void BuildChild();
    void BuildControls();
    void PlaceInitially();

    void Deliver(const WindowEvent& event);
    void RunStandardAction(int control);
    void ApplyVisibility();
    bool IsShown(const QtControl& control, int depth = 0) const;
    QtControl* ControlAt(int control) const;
    int ControlOf(QWidget* widget) const;
    bool Owns(QWidget* widget) const;
    StatusZones* StatusTarget() const;

    // Reactions to what the user does, called by the agent.
    void OnFocusChanged(QWidget* from, QWidget* to);
    bool OnKeyPress(QKeyEvent& event);
    bool OnMousePress(QWidget* target, QMouseEvent& event);
    void OnCloseBox();
    // Ctrl+Tab and Ctrl+Shift+Tab turn the window's sheet to its next or previous tab.
    bool TurnTab(bool back);
    void CheckActive();
    void NoteGeometry();
    void OnResized();
    // Moves and sizes the controls to follow the client area.
    void FollowClientSize(QSize size);
    ListWidgets* ListAt(int control) const;

    QSize Decorations() const;
    // Where the window may be placed: the screen's free area, or a child's frame area.
    QRect PlacementArea(std::optional<QPoint> at = std::nullopt) const;
    QRect NormalGeometry() const;
    QPoint TopLeft() const;
    void MoveTo(QPoint at);

    QtWindowSystem& system_;
    WindowDef def_;
    QFont font_;
    DialogUnits units_;
    int thread_;
    WindowEventHandler* handler_ = nullptr;

    QPointer<QWidget> root_;
    QPointer<QWidget> returnFocusTo_;  // the window a modal one was opened over
    ClientArea* client_ = nullptr;   // the client area of windows other than the frame
    QMdiArea* mdi_ = nullptr;        // the frame's client area
    QMenuBar* menuBar_ = nullptr;
    QWidget* toolbarArea_ = nullptr;
    std::unique_ptr<StatusZones> zones_;

    std::vector<std::unique_ptr<QtControl>> controls_;
    std::vector<bool> hidden_;
    std::unordered_map<const QWidget*, int> widgetControl_;
    std::set<std::pair<int, int>> alerts_;  // (control, key)

    bool opened_ = false;
    bool closed_ = false;
    bool allowClose_ = false;
    bool active_ = false;
    bool waitCursor_ = false;
    int resizeStrategy_ = 0;
    QRect normal_;
    std::vector<QEventLoop*> loops_;
    std::shared_ptr<bool> alive_;
    EventQueue queue_;
    std::unique_ptr<WindowAgent> agent_;
};

}  // namespace verdo
