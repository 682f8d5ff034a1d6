#include "tests/support/FakeWindow.h"

#include <algorithm>

#include "runtime/window/EventCodes.h"
#include "runtime/window/ListFormat.h"

namespace verdo::test {

FakeWindow::FakeWindow(WindowDef definition) : definition_(std::move(definition)) {
    SizeW = definition_.Width;
    SizeH = definition_.Height;
}

void FakeWindow::Record(std::string call) { Calls.push_back(std::move(call)); }

bool FakeWindow::CallMade(const std::string& call) const { return Count(call) > 0; }

int FakeWindow::Count(const std::string& call) const {
    return static_cast<int>(std::count(Calls.begin(), Calls.end(), call));
}

void FakeWindow::Inject(int code, int control, int key) { queue_.push_back({WindowEvent{code, control, key}, {}}); }

void FakeWindow::Inject(int code, const std::string& control, int key) { Inject(code, ControlNumber(control), key); }

void FakeWindow::Then(std::function<void()> action) { queue_.push_back({{}, std::move(action)}); }

void FakeWindow::Open() {
    Record("Open");
    open_ = true;
    // The library's first event: it comes before anything the user does.
    posted_.push_front(WindowEvent{Event::OpenWindow, 0, 0});
}

void FakeWindow::RunEventLoop() {
    Record("RunEventLoop");
    while (open_ && (!posted_.empty() || !queue_.empty())) {
        Entry entry;
        if (!posted_.empty()) {
            entry.Event = posted_.front();
            posted_.pop_front();
        } else {
            entry = std::move(queue_.front());
            queue_.pop_front();
        }
        if (entry.Action) {
            entry.Action();
            continue;
        }
        int result = handler_ ? handler_->OnEvent(entry.Event) : 0;
        Delivered.push_back(entry.Event);
        Results.push_back(result);
        if (result == 0 && (entry.Event.Code == Event::CloseWindow || entry.Event.Code == Event::CloseDown)) {
            Record("Closed");
            open_ = false;
        }
    }
}

void FakeWindow::Close() {
    Record("Close");
    open_ = false;
}

void FakeWindow::PostEvent(int code, int control, int key) {
    Record("Post " + std::to_string(code) + " " + std::to_string(control));
    posted_.push_back(WindowEvent{code, control, key});
}

int FakeWindow::ControlNumber(const std::string& name) const {
    for (size_t i = 0; i < definition_.Controls.size(); ++i)
        if (definition_.Controls[i].Name == name) return static_cast<int>(i + 1);
    return 0;
}

std::string FakeWindow::ControlName(int control) const {
    if (control < 1 || static_cast<size_t>(control) > definition_.Controls.size()) return {};
    return definition_.Controls[control - 1].Name;
}

void FakeWindow::Select(int control) {
    Record("Select " + std::to_string(control));
    focus_ = control;
}

void FakeWindow::Display(int control) { Record("Display " + std::to_string(control)); }

void FakeWindow::Update(int control) { Record("Update " + std::to_string(control)); }

void FakeWindow::ValidateAll() {
    Record("ValidateAll");
    for (const WindowEvent& event : ValidationEvents) posted_.push_back(event);
    if (RefuseOnValidate)
        PostEvent(Event::Rejected, RefuseOnValidate);
    else
        PostEvent(Event::Completed);
}

void FakeWindow::SetControlText(int control, const std::string& text) {
    Record("Text " + std::to_string(control) + " " + text);
}

void FakeWindow::SetControlEnabled(int control, bool enabled) {
    Record("Enable " + std::to_string(control) + " " + std::to_string(enabled));
    if (enabled) {
        Disabled.erase(control);
    } else {
        Disabled.insert(control);
    }
}

void FakeWindow::SetControlHidden(int control, bool hidden) {
    Record("Hide " + std::to_string(control) + " " + std::to_string(hidden));
}

void FakeWindow::SetAlertKey(int control, int key) {
    Record("Alert " + std::to_string(control) + " " + std::to_string(key));
}

void FakeWindow::SetTimer(int hundredths) { Record("Timer " + std::to_string(hundredths)); }

void FakeWindow::SetStatusText(int zone, const std::string& text) {
    Record("Status " + std::to_string(zone) + " " + text);
}

void FakeWindow::SetWaitCursor(bool wait) { Record(wait ? "Wait on" : "Wait off"); }

void FakeWindow::Beep() { Record("Beep"); }

void FakeWindow::SetRoundedRegion(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight) {
    Record("Region " + std::to_string(left) + " " + std::to_string(top) + " " + std::to_string(right) + " " +
           std::to_string(bottom) + " " + std::to_string(cornerWidth) + " " + std::to_string(cornerHeight));
}

void FakeWindow::Sleep(int milliseconds) { Record("Sleep " + std::to_string(milliseconds)); }

void FakeWindow::SetPosition(int x, int y) {
    Record("Position " + std::to_string(x) + " " + std::to_string(y));
    PosX = x;
    PosY = y;
}

void FakeWindow::SetSize(int width, int height) {
    Record("Size " + std::to_string(width) + " " + std::to_string(height));
    SizeW = width;
    SizeH = height;
}

void FakeWindow::SetMaximized(bool maximized) {
    Record(maximized ? "Maximize" : "Normal");
    Maximized = maximized;
}

int FakeWindow::Choice(int control) const {
    auto found = Choices.find(control);
    return found == Choices.end() ? 0 : found->second;
}

void FakeWindow::SetChoice(int control, int choice) { Choices[control] = choice; }

void FakeWindow::SetListRows(int control, const std::vector<std::string>& rows) { ListRows[control] = rows; }

std::string FakeWindow::GetListFormat(int control) const {
    auto found = Formats.find(control);
    return found == Formats.end() ? std::string() : found->second;
}

bool FakeWindow::SetListFormat(int control, const std::string& format) {
    std::vector<ListColumn> columns;
    if (!ListFormat::Parse(format, columns)) return false;
    Formats[control] = format;
    return true;
}

void FakeWindow::EditListRow(int control, int row, const std::vector<FieldRef>& cells, int column) {
    Record("Edit " + std::to_string(control) + " " + std::to_string(row) + " " + std::to_string(column));
    EditedCells = cells;
    EditedRow = row;
    EditedColumn = column;
}

void FakeWindow::FocusListEdit(int control, int column) {
    Record("EditFocus " + std::to_string(control) + " " + std::to_string(column));
    EditedColumn = column;
}

void FakeWindow::EndListEdit(int control) {
    Record("EditEnd " + std::to_string(control));
    EditedCells.clear();
    EditedRow = EditedColumn = 0;
}

int FakeWindow::PopupMenu(const std::vector<PopupEntry>& entries) {
    Popups.push_back(entries);
    if (PopupAnswers.empty()) return 0;
    int answer = PopupAnswers.front();
    PopupAnswers.pop_front();
    return answer;
}

}  // namespace verdo::test
