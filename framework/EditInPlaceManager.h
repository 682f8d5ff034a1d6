#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/EditInPlace.h"

namespace verdo {

class FileManager;
class RelationManager;

// The framework's edit-in-place: every column of the row in an entry of its own, over
// the row's cell. The entries edit a copy of the record; the store sees it only when
// the row is saved: Enter, an arrow key (with the arrow action 24), the focus leaving
// the row, or Tab on the last column after SaveQuestion when something changed. Esc
// abandons the row: its old values stay, a new row goes. A row the store refuses stays
// in edit mode with what was typed.
class EditInPlaceManager : public EditInPlace {
public:
    // The arrow action that saves and goes on editing the next or previous row.
    static constexpr int ArrowSavesAndMoves = 24;

    // The fields the columns edit, in column order (indexes into the browse's table).
    void Setup(std::vector<size_t> columns);

    uint8_t Edit(BrowseManager& browse, uint8_t request) override;
    bool Editing() const override { return editing_; }
    uint8_t TakeEvent(const WindowEvent& event) override;
    void Abandon() override;

    int Column() const { return column_; }

private:
    // Saves the row; false (with the row still in edit mode) when the store refused it.
    bool Save();
    // Ends the edit; the page is reloaded around what was saved or what was there.
    void End(bool saved);
    bool Changed();
    void Begin(int column);
    void Continue(int step);

    std::vector<size_t> columns_;
    BrowseManager* browse_ = nullptr;
    bool editing_ = false;
    bool inserting_ = false;
    int column_ = 1;
    int64_t rowId_ = 0;
    int nextColumn_ = 0;       // the column a continued edit starts in
    int64_t anchorRowId_ = 0;  // the row highlighted before a new row was put in
    std::string anchorImage_;
    std::string original_;  // the record when the edit began
    std::string work_;      // what the entries edit
};

}  // namespace verdo
