#include "framework/EditInPlaceManager.h"

#include <algorithm>
#include <cstring>

#include "framework/BrowseManager.h"
#include "framework/DefaultMessages.h"
#include "framework/FileManager.h"
#include "runtime/window/MessageDialog.h"
#include "framework/MessageManager.h"
#include "framework/RelationManager.h"
#include "framework/Requests.h"
#include "framework/WindowManager.h"
#include "runtime/window/EventCodes.h"
#include "runtime/window/WindowDef.h"

namespace verdo {

void EditInPlaceManager::Setup(std::vector<size_t> columns) { columns_ = std::move(columns); }

uint8_t EditInPlaceManager::Edit(BrowseManager& browse, uint8_t request) {
    browse_ = &browse;
    FileManager* fm = browse.File();
    if (!fm || columns_.empty() || (request != Request::Insert && request != Request::Change)) return Response::Cancelled;
    const size_t size = fm->TABLE->RecordSize;
    int column = nextColumn_ > 0 ? nextColumn_ : browse.StartColumn();
    nextColumn_ = 0;
    anchorRowId_ = browse.HighlightedRowId();
    anchorImage_ = browse.Rows() ? browse.RowImage(static_cast<size_t>(browse.Highlighted())) : std::string();
    if (request == Request::Insert) {
        if (!browse.PrimeNewRecord()) return Response::Cancelled;
        inserting_ = true;
        rowId_ = 0;
        browse.ShowNewRow(std::string(static_cast<const char*>(fm->BUFFER), size));
    } else {
        if (browse.Rows() == 0) return Response::Cancelled;
        inserting_ = false;
        rowId_ = fm->CurrentRowId();
    }
    original_.assign(static_cast<const char*>(fm->BUFFER), size);
    work_ = original_;
    Begin(column);
    return Response::Undecided;
}

void EditInPlaceManager::Begin(int column) {
    editing_ = true;
    column_ = std::clamp(column, 1, static_cast<int>(columns_.size()));
    std::vector<FieldRef> cells;
    for (size_t field : columns_) cells.push_back(FieldRef{work_.data(), &browse_->File()->TABLE->Fields[field]});
    browse_->WINDOW->GetWindow()->EditListRow(browse_->LIST, browse_->Highlighted(), cells, column_);
}

bool EditInPlaceManager::Changed() {
    browse_->WINDOW->GetWindow()->UpdateListEdit(browse_->LIST);
    return work_ != original_;
}

bool EditInPlaceManager::Save() {
    bool changed = Changed();
    FileManager* fm = browse_->File();
    if (!inserting_ && !changed) return true;
    std::memcpy(fm->BUFFER, work_.data(), work_.size());
    if (inserting_) return fm->Insert() == LevelNone;
    // Written over the record as it was read, so that a change by another station shows.
    StoreTable::Position at;
    at.CurrentRowId = rowId_;
    at.CurrentImage = original_;
    fm->ResetPosition(at);
    if (browse_->PRIMARY->Update() == LevelNone) return true;
    // The other station's version is the one a second save writes over.
    original_.assign(static_cast<const char*>(fm->BUFFER), work_.size());
    return false;
}

void EditInPlaceManager::End(bool saved) {
    Window* window = browse_->WINDOW->GetWindow();
    window->EndListEdit(browse_->LIST);
    editing_ = false;
    FileManager* fm = browse_->File();
    if (saved) {
        browse_->ReloadAtBuffer(fm->CurrentRowId());
    } else if (inserting_) {
        // The new row goes; the row highlighted before it comes back.
        if (anchorImage_.empty()) {
            browse_->ReloadAroundHighlight();
        } else {
            browse_->ReloadAt(anchorImage_, anchorRowId_);
        }
    } else {
        std::memcpy(fm->BUFFER, original_.data(), original_.size());
        browse_->ReloadAroundHighlight();
    }
    inserting_ = false;
}

void EditInPlaceManager::Continue(int step) {
    if (!browse_->MoveHighlight(step)) return;
    nextColumn_ = column_;
    browse_->RequestRecord(Request::Change);
}

uint8_t EditInPlaceManager::TakeEvent(const WindowEvent& event) {
    if (!editing_ || !browse_ || event.Control != browse_->LIST) return LevelNone;
    Window* window = browse_->WINDOW->GetWindow();
    const int columns = static_cast<int>(columns_.size());
    if (event.Code == Event::LoseFocus) {
        if (Save()) End(true);
        return LevelNotice;
    }
    if (event.Code != Event::AlertKey) return LevelNotice;
    switch (event.Key) {
        case Key::Tab:
            if (column_ < columns) {
                window->FocusListEdit(browse_->LIST, ++column_);
            } else if (!Changed()) {
                End(false);
            } else {
                unsigned answer = GlobalMessages().AskButtons(SaveQuestion, ButtonYes | ButtonNo | ButtonCancel, ButtonYes);
                if (answer == ButtonYes) {
                    if (Save()) End(true);
                } else if (answer == ButtonNo) {
                    End(false);
                } else {
                    window->FocusListEdit(browse_->LIST, column_);
                }
            }
            break;
        case Key::ShiftTab:
            if (column_ > 1) window->FocusListEdit(browse_->LIST, --column_);
            break;
        case Key::Enter:
            if (Save()) End(true);
            break;
        case Key::Escape: End(false); break;
        case Key::Up:
        case Key::Down:
            if (!Save()) break;
            End(true);
            if (browse_->ARROWACTION == ArrowSavesAndMoves) Continue(event.Key == Key::Down ? 1 : -1);
            break;
        default: break;
    }
    return LevelNotice;
}

void EditInPlaceManager::Abandon() {
    if (!editing_ || !browse_) return;
    if (Window* window = browse_->WINDOW ? browse_->WINDOW->GetWindow() : nullptr) window->EndListEdit(browse_->LIST);
    editing_ = false;
    inserting_ = false;
}

}  // namespace verdo
