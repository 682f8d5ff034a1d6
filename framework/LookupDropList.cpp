#include "framework/LookupDropList.h"

#include <cstring>

#include "framework/FileManager.h"
#include "framework/MessageLevels.h"
#include "framework/RelationManager.h"
#include "framework/WindowManager.h"
#include "runtime/window/EventCodes.h"
#include "runtime/window/Window.h"

namespace verdo {

void LookupDropList::Setup(int listControl, RelationManager* lookup, WindowManager* window) {
    LISTCONTROL = listControl;
    lookup_ = lookup;
    WINDOW = window;
    display_.clear();
    update_.clear();
    rows_.clear();
    choice_ = 0;
    LOADED = false;
    if (WINDOW) {
        WINDOW->RegisterItem(this);
        if (Window* w = WINDOW->GetWindow()) w->SetChoice(LISTCONTROL, 0);
    }
}

void LookupDropList::AddOrder() {}

FileManager* LookupDropList::File() const { return lookup_ ? lookup_->FILEMANAGER : nullptr; }

void LookupDropList::AddDisplayField(size_t lookupField) {
    display_.push_back(lookupField);
    Window* window = WINDOW ? WINDOW->GetWindow() : nullptr;
    if (!window || !File()) return;
    std::vector<const FieldDef*> fields;
    for (size_t f : display_) fields.push_back(&File()->TABLE->Fields[f]);
    window->SetListFields(LISTCONTROL, fields);
}

void LookupDropList::AddUpdateField(size_t lookupField, FieldRef formField) {
    update_.push_back({lookupField, formField});
}

void LookupDropList::Load() {
    FileManager* fm = File();
    Window* window = WINDOW ? WINDOW->GetWindow() : nullptr;
    if (!fm || !window) return;
    LOADED = true;
    rows_.clear();
    if (fm->UseFile() != LevelNone) return;
    window->SetWaitCursor(true);
    const size_t size = fm->TABLE->RecordSize;
    uint16_t saved = fm->SaveState();
    fm->SetKey(-1);
    while (fm->Next() == LevelNone) rows_.emplace_back(static_cast<const char*>(fm->BUFFER), size);
    fm->RestoreState(saved);
    window->SetListRows(LISTCONTROL, rows_);
    window->SetWaitCursor(false);
}

void LookupDropList::Synchronise() {
    Window* window = WINDOW->GetWindow();
    choice_ = 0;
    if (!update_.empty()) {
        const Pair& key = update_.front();
        const FieldDef& value = File()->TABLE->Fields[key.Lookup];
        const char* current = static_cast<const char*>(key.Form.Record) + key.Form.Field->Offset;
        size_t size = std::min(value.Size, key.Form.Field->Size);
        for (size_t row = 0; row < rows_.size() && choice_ == 0; ++row)
            if (std::memcmp(rows_[row].data() + value.Offset, current, size) == 0) choice_ = static_cast<int>(row) + 1;
    }
    // A value no row has gives way to the first row, so that what the form stores is one
    // the list offers.
    if (choice_ == 0 && DEFAULTFILL && !rows_.empty()) {
        choice_ = 1;
        CopyRow(0);
    }
    window->SetChoice(LISTCONTROL, choice_);
}

void LookupDropList::CopyRow(size_t row) {
    const TableDef* table = File()->TABLE;
    for (const Pair& pair : update_) {
        const FieldDef& from = table->Fields[pair.Lookup];
        size_t size = std::min(from.Size, pair.Form.Field->Size);
        char* to = static_cast<char*>(pair.Form.Record) + pair.Form.Field->Offset;
        std::memcpy(to, rows_[row].data() + from.Offset, size);
    }
}

void LookupDropList::Refresh(bool) {
    Window* window = WINDOW ? WINDOW->GetWindow() : nullptr;
    if (!window) return;
    // A choice the user made that has not reached the form yet is taken first.
    if (int shown = window->Choice(LISTCONTROL);
        LOADED && shown >= 1 && shown <= static_cast<int>(rows_.size()) && shown != choice_) {
        choice_ = shown;
        CopyRow(static_cast<size_t>(shown) - 1);
    }
    if (!LOADED || ALLOWRESET) Load();
    if (INITSYNCPAIR) Synchronise();
}

uint8_t LookupDropList::TakeEvent(const WindowEvent& event) {
    if (!WINDOW || event.Control != LISTCONTROL || LISTCONTROL == 0) return LevelNone;
    if (event.Code != Event::NewSelection && event.Code != Event::Accepted) return LevelNone;
    int chosen = WINDOW->GetWindow()->Choice(LISTCONTROL);
    if (chosen < 1 || chosen > static_cast<int>(rows_.size())) return LevelNone;
    choice_ = chosen;
    CopyRow(static_cast<size_t>(chosen) - 1);
    return LevelNone;
}

void LookupDropList::Finish() {
    rows_.clear();
    LOADED = false;
}

}  // namespace verdo
