#pragma once
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "runtime/window/Window.h"
#include "runtime/window/WindowDef.h"

namespace verdo::test {

// A window without a screen. It records every call made on it as a line of text, takes
// events (and actions standing for what a user does) from a queue the test fills, and
// runs its event loop by handing them to the handler until it has closed or nothing is
// left. Events the program posts come before the user's next step, as they would on a
// screen. A close event the handler does not refuse closes it, as the library would.
class FakeWindow : public Window {
public:
    explicit FakeWindow(WindowDef definition = {});

    // Queues an event after those already queued, as PostEvent does.
    void Inject(int code, int control = 0, int key = 0);
    void Inject(int code, const std::string& control, int key = 0);
    // Queues something the user does between two events (typing into a field...).
    void Then(std::function<void()> action);
    // The control (by number) whose input ValidateAll refuses; 0 accepts everything.
    int RefuseOnValidate = 0;
    // Events the library delivers while it checks the controls, before the outcome.
    std::vector<WindowEvent> ValidationEvents;

    // Every call, in order: "Open", "Display 0", "Select 3", "Alert 3 734", ...
    std::vector<std::string> Calls;
    // Every event handed to the handler, with what it returned.
    std::vector<WindowEvent> Delivered;
    std::vector<int> Results;
    bool CallMade(const std::string& call) const;
    int Count(const std::string& call) const;
    size_t Pending() const { return posted_.size() + queue_.size(); }

    // Lists and sheets: the rows each list was given, its highlighted row (or a sheet's
    // tab), how many rows fit, where the program put each thumb and where the user left
    // it, the formats. A popup menu is answered from PopupAnswers (0 when none is left)
    // and its entries are kept.
    int RowsShown = 5;
    std::map<int, std::vector<std::string>> ListRows;
    std::map<int, int> Choices;
    std::map<int, int> Thumbs;
    int DraggedThumb = 0;
    std::map<int, std::string> Formats;
    std::deque<int> PopupAnswers;
    std::vector<std::vector<PopupEntry>> Popups;

    // Placement state, as the settings file reads and sets it.
    bool Minimized = false;
    bool Maximized = false;
    int PosX = 10, PosY = 20;
    int SizeW = 0, SizeH = 0;

    const WindowDef& Definition() const override { return definition_; }
    void SetHandler(WindowEventHandler* handler) override { handler_ = handler; }
    void Open() override;
    bool IsOpen() const override { return open_; }
    void RunEventLoop() override;
    void Close() override;
    void PostEvent(int code, int control = 0, int key = 0) override;
    int ControlNumber(const std::string& name) const override;
    std::string ControlName(int control) const override;
    int FocusedControl() const override { return focus_; }
    void Select(int control) override;
    void Display(int control = 0) override;
    void Update(int control = 0) override;
    void ValidateAll() override;
    void SetControlText(int control, const std::string& text) override;
    void SetControlEnabled(int control, bool enabled) override;
    bool IsControlEnabled(int control) const override { return !Disabled.count(control); }
    std::set<int> Disabled;
    void SetControlHidden(int control, bool hidden) override;
    void SetAlertKey(int control, int key) override;
    void SetTimer(int hundredths) override;
    void SetStatusText(int zone, const std::string& text) override;
    void SetWaitCursor(bool wait) override;
    void Beep() override;
    int PixelWidth() const override { return SizeW * 2; }
    int PixelHeight() const override { return SizeH * 2; }
    void SetRoundedRegion(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight) override;
    void Sleep(int milliseconds) override;

    bool IsMinimized() const override { return Minimized; }
    bool IsMaximized() const override { return Maximized; }
    bool IsResizable() const override { return definition_.Resizable; }
    int X() const override { return PosX; }
    int Y() const override { return PosY; }
    int Width() const override { return SizeW; }
    int Height() const override { return SizeH; }
    void SetPosition(int x, int y) override;
    void SetSize(int width, int height) override;
    void SetMaximized(bool maximized) override;

    int Choice(int control) const override;
    void SetChoice(int control, int choice) override;
    void SetListRows(int control, const std::vector<std::string>& rows) override;
    int ListRowsShown(int) const override { return RowsShown; }
    std::string GetListFormat(int control) const override;
    bool SetListFormat(int control, const std::string& format) override;
    int ListThumb(int) const override { return DraggedThumb; }
    void SetListThumb(int control, int percent) override { Thumbs[control] = percent; }
    int PopupMenu(const std::vector<PopupEntry>& entries) override;
    // A row being edited in place: its cells, which the test writes as the user types.
    void EditListRow(int control, int row, const std::vector<FieldRef>& cells, int column) override;
    void FocusListEdit(int control, int column) override;
    void EndListEdit(int control) override;
    std::vector<FieldRef> EditedCells;
    int EditedRow = 0;
    int EditedColumn = 0;

private:
    struct Entry {
        WindowEvent Event;
        std::function<void()> Action;
    };
    void Record(std::string call);

    WindowDef definition_;
    WindowEventHandler* handler_ = nullptr;
    std::deque<WindowEvent> posted_;
    std::deque<Entry> queue_;
    bool open_ = false;
    int focus_ = 0;
};

}  // namespace verdo::test
