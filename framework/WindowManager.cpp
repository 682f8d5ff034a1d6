#include "framework/WindowManager.h"

#include <algorithm>
#include <cstring>

#include "framework/DefaultMessages.h"
#include "framework/FileManager.h"
#include "runtime/window/MessageDialog.h"
#include "framework/MessageManager.h"
#include "framework/RelationManager.h"
#include "framework/SettingsFile.h"
#include "framework/ToolbarForwarder.h"
#include "framework/WindowItem.h"
#include "runtime/store/FieldDictionary.h"
#include "runtime/window/WindowDef.h"

namespace verdo {

namespace {

// Shows the wait cursor for the time a record is being written.
class WaitCursor {
public:
    explicit WaitCursor(Window* window) : window_(window) {
        if (window_) window_->SetWaitCursor(true);
    }
    ~WaitCursor() {
        if (window_) window_->SetWaitCursor(false);
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    Window* window_;
};

constexpr unsigned RetryButtons = ButtonYes | ButtonNo | ButtonCancel;

}  // namespace

WindowManager::WindowManager() : ERRORS(&GlobalMessages()) {}

WindowManager::~WindowManager() = default;

void WindowManager::SetWindow(Window* window) {
    window_ = window;
    if (window_) window_->SetHandler(this);
}

void WindowManager::SetWindow(std::unique_ptr<Window> window) {
    ownedWindow_ = std::move(window);
    SetWindow(ownedWindow_.get());
}

uint8_t WindowManager::OpenWindow(const std::string& procedure, bool placed) {
    if (!window_) return LevelNotice;
    window_->Open();
    OPENED = true;
    placement_ = procedure;
    placed_ = placed;
    if (placed_) GlobalSettings().RestoreWindow(placement_, *window_);
    return LevelNone;
}

uint8_t WindowManager::EventLoop() {
    if (DEAD || !window_) return LevelNone;
    window_->RunEventLoop();
    return LevelNone;
}

uint8_t WindowManager::Start() {
    ORIGINALREQUEST = REQUEST;
    INSERTACTION = InsertCloses;
    DELETEACTION = DeleteAsksAtStart;
    CANCELACTION = CancelOffersSave | CancelAsks;
    CHANGEACTION = 1;
    AUTOREFRESH = true;
    AUTOTOOLBAR = true;
    INITED = true;
    return LevelNone;
}

uint8_t WindowManager::Finish() {
    if (DEAD || !INITED) return LevelNotice;
    for (WindowItem* item : items_) item->Finish();
    items_.clear();
    BUTTONS.clear();
    HISTORY.clear();
    dittoRecords_.clear();
    // The buffers stay as the form left them: the caller sees the record as it ended.
    for (SavedTable& table : FILES)
        if (table.SAVED) table.MANAGER->DiscardState(table.SAVED);
    FILES.clear();
    if (PRIMARY && SAVED) PRIMARY->FILEMANAGER->DiscardState(SAVED);
    SAVED = 0;
    if (TOOLBAR) TOOLBAR->RemoveTarget(this);
    TOOLBAR = nullptr;
    RESIZE = nullptr;
    if (window_ && OPENED && placed_) GlobalSettings().SaveWindow(placement_, *window_);
    if (window_ && window_->IsOpen()) window_->Close();
    DEAD = true;
    return LevelNone;
}

void WindowManager::Opened() {
    if (TRANSLATOR && window_) TRANSLATOR(*window_);
    Refresh(true);
}

void WindowManager::PrimeNewRecord() {}

uint8_t WindowManager::PrepareRequest() {
    if (PRIMARY) SAVED = PRIMARY->FILEMANAGER->SaveState();
    for (SavedTable& table : FILES) table.SAVED = table.MANAGER->SaveState();
    if (REQUEST == Request::Insert) PrimeNewRecord();
    if (REQUEST == Request::Delete && PRIMARY &&
        (DELETEACTION == DeleteAsksAtStart || DELETEACTION == DeleteAtStart)) {
        bool deleted = PRIMARY->Delete(DELETEACTION == DeleteAsksAtStart) == LevelNone;
        RESPONSE = deleted ? Response::Completed : Response::Cancelled;
        return LevelNotice;
    }
    return LevelNone;
}

void WindowManager::Refresh(bool force) {
    // Redisplaying while every control is being checked would put back what the user typed.
    if (validating_) return;
    for (WindowItem* item : items_) item->Refresh(force);
    for (WindowItem* item : items_) item->TakeWindowUpdate();
    Redisplay();
}

uint8_t WindowManager::DittoRestore(int control) {
    for (const DittoEntry& entry : HISTORY) {
        if (entry.CONTROL != control) continue;
        if (entry.FIELDNO < 1 || static_cast<size_t>(entry.FIELDNO) > entry.LAYOUT->Fields.size()) return LevelNone;
        const FieldDef& field = entry.LAYOUT->Fields[entry.FIELDNO - 1];
        std::memcpy(static_cast<char*>(entry.FRECORD) + field.Offset,
                    static_cast<const char*>(entry.SRECORD) + field.Offset, field.Size);
        Redisplay(control);
        return LevelNotice;
    }
    return LevelNone;
}

uint8_t WindowManager::RunWindow() {
    if (Start() == LevelNone) EventLoop();
    Finish();
    return RESPONSE == Response::Undecided ? Response::Cancelled : RESPONSE;
}

uint8_t WindowManager::RunProcedure(int, uint8_t) { return Response::Cancelled; }

void WindowManager::RegisterAlertKeys() {
    for (WindowItem* item : items_) item->RegisterAlertKeys();
    if (!HISTORYKEY || !window_) return;
    for (const DittoEntry& entry : HISTORY) window_->SetAlertKey(entry.CONTROL, HISTORYKEY);
}

void WindowManager::EndWithResponse(uint8_t response) {
    RESPONSE = response;
    Post(Event::CloseWindow);
}

uint8_t WindowManager::OnAccepted(int control) {
    if (TOOLBAR && TOOLBAR->Owns(*this, control)) return TOOLBAR->TakeAccepted(*this, control);
    for (const CloseButton& button : BUTTONS) {
        if (button.CONTROL != control) continue;
        EndWithResponse(button.ACTION);
        return LevelNotice;
    }
    if (OKCONTROL && control == OKCONTROL) {
        if ((REQUEST == Request::Insert || REQUEST == Request::Change) && window_) {
            validating_ = true;
            window_->ValidateAll();
        } else {
            Post(Event::Completed);
        }
    }
    return LevelNone;
}

uint8_t WindowManager::OnCompleted() {
    // What the user had at this OK is what the ditto key brings back later.
    for (const DittoPair& pair : dittoRecords_) std::memcpy(pair.Saved, pair.Live, pair.Layout->RecordSize);
    if (PRIMARY) {
        switch (REQUEST) {
            case Request::Insert: return CompleteInsert();
            case Request::Change: return CompleteChange();
            case Request::Delete: return CompleteDelete();
            default: break;
        }
    }
    EndWithResponse(Response::Completed);
    return LevelNone;
}

uint8_t WindowManager::CompleteInsert() {
    FileManager* file = PRIMARY->FILEMANAGER;
    if (file->Insert() != LevelNone) return LevelNotice;
    if (INSERTACTION == InsertCloses) {
        EndWithResponse(Response::Completed);
        return LevelNone;
    }
    if (INSERTACTION == InsertAsks && ERRORS->Raise(AnotherRecordQuestion) != LevelNone) {
        EndWithResponse(Response::Completed);
        return LevelNone;
    }
    if (file->FILE) LASTINSERTEDPOSITION = file->FILE->CurrentPosition();
    for (SavedTable& table : FILES) {
        table.MANAGER->RestoreState(table.SAVED);
        table.SAVED = table.MANAGER->SaveState();
    }
    file->RestoreState(SAVED);
    SAVED = file->SaveState();
    // The states saved at start still count the number reserved then; the insert has
    // used it, and giving it back now would delete the record just stored.
    file->Info().AUTOINCDONE = false;
    if (file->PrimeAutoNumber() != LevelNone) {
        CloseWithoutQuestions();
        return LevelNone;
    }
    PrimeNewRecord();
    RESPONSE = Response::Cancelled;
    Redisplay();
    FocusFirstField();
    return LevelNone;
}

uint8_t WindowManager::CompleteChange() {
    RESPONSE = Response::Cancelled;
    WaitCursor wait(window_);
    for (;;) {
        if (RecordUnchanged()) break;
        uint8_t level = PRIMARY->Update(HISTORYKEY != 0);
        if (level == LevelNone) break;
        if (level != LevelAsk) {
            // Reported already; the form shows the record as the store now holds it.
            Redisplay();
            FocusFirstField();
            return LevelNotice;
        }
        if (!AskRetry(SaveRetryQuestion)) return LevelNotice;
    }
    EndWithResponse(Response::Completed);
    return LevelNone;
}

bool WindowManager::AskRetry(uint16_t question) {
    unsigned answer = ERRORS->AskButtons(question, RetryButtons, ButtonCancel);
    if (answer == ButtonYes) return true;
    if (answer == ButtonNo) {
        CloseWithoutQuestions();
    } else {
        Redisplay();
        FocusFirstField();
    }
    return false;
}

uint8_t WindowManager::CompleteDelete() {
    RESPONSE = Response::Cancelled;
    // Asked here rather than by the delete, so that a No is not taken for a failure.
    if (DELETEACTION == DeleteAsksAtStart && ERRORS->Raise(DeleteQuestion) != LevelNone) {
        FocusFirstField();
        return LevelNotice;
    }
    WaitCursor wait(window_);
    for (;;) {
        if (PRIMARY->Delete(false) == LevelNone) break;
        if (!AskRetry(DeleteRetryQuestion)) return LevelNotice;
    }
    EndWithResponse(Response::Completed);
    return LevelNone;
}

uint8_t WindowManager::OnCloseRequest() {
    bool settled = questionsSettled_;
    questionsSettled_ = false;
    if (RESPONSE == Response::Completed || !PRIMARY) return LevelNone;
    if (!settled && CANCELACTION != 0 && (REQUEST == Request::Insert || REQUEST == Request::Change) &&
        RecordChanged()) {
        if (!(CANCELACTION & CancelOffersSave)) {
            if (ERRORS->Raise(CancelQuestion) != LevelNone) {
                FocusFirstField();
                return LevelNotice;
            }
        } else if (!(CANCELACTION & CancelAsks)) {
            Post(OKCONTROL ? Event::Accepted : Event::Completed, OKCONTROL);
            return LevelNotice;
        } else {
            unsigned answer = ERRORS->AskButtons(SaveQuestion, RetryButtons, ButtonCancel);
            if (answer == ButtonYes) {
                Post(OKCONTROL ? Event::Accepted : Event::Completed, OKCONTROL);
                return LevelNotice;
            }
            if (answer != ButtonNo) {
                FocusFirstField();
                return LevelNotice;
            }
        }
    }
    // A window closed before it decided (its close box) is cancelled as well: the
    // reserved record must not stay behind empty.
    if (ORIGINALREQUEST == Request::Insert && PRIMARY->CancelAutoNumber() != LevelNone) {
        FocusFirstField();
        return LevelNotice;
    }
    if (LASTINSERTEDPOSITION.CurrentRowId != 0) {
        RESPONSE = Response::Completed;
        FileManager* file = PRIMARY->FILEMANAGER;
        if (file->FILE && file->FILE->IsOpen()) {
            file->FILE->Reset(LASTINSERTEDPOSITION);
            file->FILE->Reread(file->BUFFER);
        }
    }
    return LevelNone;
}

int WindowManager::OnEvent(const WindowEvent& event) {
    if (DEAD) return LevelNone;
    if (event.Code == Event::Completed || event.Code == Event::Rejected) validating_ = false;
    uint8_t level = LevelNone;
    if (event.Control == 0) {
        level = OnWindowEvent(event);
        if (level != LevelNone) return level;
    }
    switch (event.Code) {
        case Event::Accepted: level = OnAccepted(event.Control); break;
        case Event::NewSelection: level = OnNewSelection(event.Control); break;
        case Event::Selected: level = OnSelected(event.Control); break;
        case Event::Rejected: level = OnRejected(event.Control); break;
        case Event::AlertKey:
            if (HISTORYKEY && event.Key == HISTORYKEY)
                level = DittoRestore(event.Control ? event.Control : window_ ? window_->FocusedControl() : 0);
            break;
        default: break;
    }
    if (level != LevelNone) return level;
    if (event.Control != 0) {
        level = OnFieldEvent(event);
        if (level != LevelNone) return level;
    }
    for (WindowItem* item : items_) {
        level = item->TakeEvent(event);
        if (level != LevelNone) return level;
    }
    bool stale = AUTOREFRESH && std::any_of(items_.begin(), items_.end(), [](WindowItem* i) { return i->NeedsRefresh(); });
    if (FORCEDRESET || stale) {
        bool force = FORCEDRESET;
        FORCEDRESET = false;
        Refresh(force);
    }
    return LevelNone;
}

uint8_t WindowManager::OnFieldEvent(const WindowEvent&) { return LevelNone; }

uint8_t WindowManager::OnNewSelection(int control) {
    bool sheet = false;
    if (window_ && control > 0 && static_cast<size_t>(control) <= window_->Definition().Controls.size())
        sheet = window_->Definition().Controls[control - 1].Kind == ControlKind::Sheet;
    // Turning to another tab changes nothing that would need showing again.
    if (!sheet) Refresh();
    if (AUTOTOOLBAR && TOOLBAR) TOOLBAR->DisplayButtons(*this);
    return LevelNone;
}

uint8_t WindowManager::OnRejected(int control) {
    if (!window_) return LevelNone;
    window_->Beep();
    window_->Display();
    window_->Select(control);
    return LevelNone;
}

uint8_t WindowManager::OnSelected(int) { return LevelNone; }

uint8_t WindowManager::OnWindowEvent(const WindowEvent& event) {
    switch (event.Code) {
        case Event::OpenWindow:
            if (!openedRan_) {
                openedRan_ = true;
                Opened();
            }
            FocusFirstField();
            return LevelNone;
        case Event::GainFocus:
            if (RESETONGAINFOCUS) FORCEDRESET = true;
            return LevelNone;
        case Event::Sized:
            if (openedRan_) {
                Refresh();
            } else {
                openedRan_ = true;
                Opened();
            }
            return LevelNone;
        case Event::DoResize:
            if (++resizeEvents_ >= 2) Refresh();
            return LevelNone;
        case Event::Completed: return OnCompleted();
        case Event::CloseWindow:
        case Event::CloseDown: return OnCloseRequest();
        default: return LevelNone;
    }
}

void WindowManager::UpdateItems() {
    for (WindowItem* item : items_) item->UpdateFromWindow();
}

void WindowManager::RegisterItem(WindowItem* item) {
    if (item && std::find(items_.begin(), items_.end(), item) == items_.end()) items_.push_back(item);
}

void WindowManager::AddSavedTable(FileManager* manager) {
    if (manager) FILES.push_back({manager, 0});
}

void WindowManager::AddCloseButton(int control, uint8_t response) { BUTTONS.push_back({control, response}); }

void WindowManager::DittoRecord(void* live, void* saved, const TableDef& layout) {
    dittoRecords_.push_back({live, saved, &layout});
}

void WindowManager::DittoField(int control, int fieldNumber) {
    if (dittoRecords_.empty()) return;
    const DittoPair& record = dittoRecords_.back();
    HISTORY.push_back({record.Live, record.Saved, record.Layout, control, fieldNumber});
}

void WindowManager::AttachToolbar(ToolbarForwarder* toolbar) {
    TOOLBAR = toolbar;
    if (TOOLBAR) TOOLBAR->AddTarget(this);
}

void WindowManager::AttachResizer(WindowItem* resizer) {
    RESIZE = resizer;
    RegisterItem(resizer);
}

void WindowManager::CloseWithoutQuestions() {
    questionsSettled_ = true;
    Post(Event::CloseWindow);
}

// Without a saved state the record counts as neither: a change is written, and a
// cancel asks nothing.
bool WindowManager::RecordChanged() const { return PRIMARY && SAVED && !PRIMARY->FILEMANAGER->EqualsSaved(SAVED); }

bool WindowManager::RecordUnchanged() const { return PRIMARY && SAVED && PRIMARY->FILEMANAGER->EqualsSaved(SAVED); }

void WindowManager::FocusFirstField() {
    if (window_ && FIRSTFIELD) window_->Select(FIRSTFIELD);
}

void WindowManager::Redisplay(int control) {
    if (window_) window_->Display(control);
}

void WindowManager::Post(int code, int control) {
    if (window_) window_->PostEvent(code, control);
}

}  // namespace verdo
