#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "framework/WindowItem.h"
#include "runtime/window/WindowDef.h"

namespace verdo {

class FileManager;
class RelationManager;
class WindowManager;

// A drop-down list filled from a lookup table: every record in record order, shown by
// its display fields. The row whose value equals the form's field is the one selected;
// choosing a row copies its value into the form's field.
class LookupDropList : public WindowItem {
public:
    void Setup(int listControl, RelationManager* lookup, WindowManager* window);
    // Record order: the only order a lookup list has.
    void AddOrder();
    void AddDisplayField(size_t lookupField);
    // Choosing a row copies this lookup field into the form's field; the first pair
    // also finds the row to select.
    void AddUpdateField(size_t lookupField, FieldRef formField);

    uint8_t TakeEvent(const WindowEvent& event) override;
    void Refresh(bool force) override;
    void Finish() override;

    size_t Rows() const { return rows_.size(); }
    int Selected() const { return choice_; }

    int LISTCONTROL = 0;
    bool LOADED = false;
    bool DEFAULTFILL = true;   // with no matching row the first one is taken
    bool INITSYNCPAIR = true;  // the form's value picks the row when the list is loaded
    bool ALLOWRESET = false;   // a refresh reads the table again
    WindowManager* WINDOW = nullptr;

private:
    struct Pair {
        size_t Lookup;
        FieldRef Form;
    };
    void Load();
    void Synchronise();
    void CopyRow(size_t row);
    FileManager* File() const;

    RelationManager* lookup_ = nullptr;
    std::vector<size_t> display_;
    std::vector<Pair> update_;
    std::vector<std::string> rows_;
    int choice_ = 0;
};

}  // namespace verdo
