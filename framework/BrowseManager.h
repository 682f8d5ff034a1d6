#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/StepLocator.h"
#include "framework/ThumbCalculator.h"
#include "framework/WindowItem.h"
#include "runtime/store/FieldDictionary.h"
#include "runtime/store/StoreTable.h"

namespace verdo {

class EditInPlace;
class FileManager;
class RelationManager;
class ToolbarForwarder;
class WindowManager;

// Keeps a list control filled with one page of a table's records in one of several
// orders, and turns what the user does on the list (scrolling, typing, double clicks,
// Insert and Delete, the update buttons, the popup menu, the frame's toolbar) into
// record requests: the window's update form, or editing in place. Only the rows on the
// page are ever read; a walk goes from the rows at the page's edges along the key.
class BrowseManager : public WindowItem {
public:
    // Toolbar button numbers of the frame.
    enum ToolbarButton {
        ToolbarInsert = 3001,
        ToolbarChange = 3002,
        ToolbarDelete = 3003,
        ToolbarSelect = 3004,
        ToolbarBottom = 3005,
        ToolbarTop = 3006,
        ToolbarPageDown = 3007,
        ToolbarPageUp = 3008,
        ToolbarDown = 3009,
        ToolbarUp = 3010,
        ToolbarLocate = 3011,
        ToolbarHelp = 3013,
    };
    // Key codes of the list's alert keys.
    static constexpr int CtrlEnter = 0x20D;
    static constexpr int ShiftEnter = 0x10D;
    // The navigation a form leaves in its window manager's VCRREQUEST: go on with the
    // next or the previous record.
    static constexpr uint8_t VcrNext = 1;
    static constexpr uint8_t VcrPrevious = 2;

    BrowseManager();
    ~BrowseManager() override;
    BrowseManager(const BrowseManager&) = delete;
    BrowseManager& operator=(const BrowseManager&) = delete;

    // The list control, the primary table's relation manager and the window manager the
    // browse registers with.
    void Setup(int listControl, RelationManager* primary, WindowManager* window);

    // Adds a sort order along a key (an index into the table's keys); the locator,
    // thumb calculator and ranges that follow belong to the order added last.
    void AddOrder(int key);
    void AttachLocator(std::unique_ptr<StepLocator> locator);
    void LocatorSetup(int control, size_t freeElement, bool noCase);
    void SetThumb(std::unique_ptr<ThumbCalculator> thumb);
    // The order added last lists its key from the last record to the first: the list's
    // top is the key's end, and walking down the list walks back along the key.
    void SetDescending();
    // Limits the order to the records whose leading key field (`field`, an index into
    // the table's fields) equals the value of `source` in the source record. The range
    // fixes the key's leading components; walks of a range go to its last record by
    // the rows of its key values.
    void AddRange(size_t field, const void* sourceRecord, const FieldDef& sourceField);
    // A column of the list shows the table's field with this index.
    void AddColumn(size_t field);

    // Makes order n (counted from 1 in the order of AddOrder) current; the page is
    // reloaded around the highlighted record when the order changed.
    void SetSortOrder(int n);
    // The order the browse is to use now; the framework keeps the current one. Returns
    // whether the order changed. `force` asks for a reload even when it did not.
    virtual bool ChooseSortOrder(bool force);
    int CurrentOrder() const { return order_ + 1; }

    // Reloads the page around the highlighted record; `force` also when nothing changed.
    void Refresh(bool force) override;
    // Opens the update form for the highlighted record (or a new one), or edits it in place.
    uint8_t RequestRecord(uint8_t request);
    // The toolbar's buttons act on this browse while its window is the toolbar's target.
    void AttachToolbar(ToolbarForwarder* toolbar);

    // The record image the list shows for a row of the table; by default the row itself.
    // A browse whose columns come from another layout turns its rows into that layout.
    virtual std::string ShownImage(const std::string& image) const { return image; }

    // Window item.
    uint8_t TakeEvent(const WindowEvent& event) override;
    bool NeedsRefresh() override;
    void UpdateFromWindow() override;
    void RegisterAlertKeys() override;
    uint8_t TakeToolbarButton(int button) override;
    void Finish() override;

    // The rows on the page, as record images, and which one is highlighted (from 1; 0
    // when the page is empty).
    size_t Rows() const { return rows_.size(); }
    const std::string& RowImage(size_t row) const { return rows_.at(row - 1).Image; }
    int Highlighted() const { return choice_; }
    FileManager* File() const;

    // The buttons the browse serves (0: none), and the procedure number of the update
    // form (0: the rows are edited in place).
    int INSERTCONTROL = 0;
    int CHANGECONTROL = 0;
    int DELETECONTROL = 0;
    int VIEWCONTROL = 0;
    int SELECTCONTROL = 0;
    int PRINTCONTROL = 0;
    int QUERYCONTROL = 0;
    int TOOLCONTROL = 0;
    int ASKPROCEDURE = 0;
    int PRINTPROCEDURE = 0;
    bool SELECTING = false;
    bool RETAINROW = true;
    bool HASTHUMB = false;
    // Edit-in-place settings: the editor, and what the arrow, Enter, Tab and focus
    // loss do while a row is edited.
    EditInPlace* EDITINPLACE = nullptr;
    int ARROWACTION = 0;
    int ENTERACTION = 0;
    int TABACTION = 0;
    int FOCUSLOSSACTION = 0;
    ToolbarForwarder* TOOLBAR = nullptr;
    RelationManager* PRIMARY = nullptr;
    WindowManager* WINDOW = nullptr;
    int LIST = 0;

    // After an edit in place: the page is reloaded with the record now in the buffer
    // (by its key values and row) highlighted, or around where the highlight was.
    void ReloadAtBuffer(int64_t rowId);
    void ReloadAt(const std::string& image, int64_t rowId);
    void ReloadAroundHighlight();
    // Moves the highlight one row down (or up), reading a row when it stands at the
    // page's edge; false when there was no row to move to.
    bool MoveHighlight(int step);
    // The column an edit starts in: the one double-clicked, otherwise the first.
    int StartColumn() const { return startColumn_; }
    // The highlighted row's place in the table.
    int64_t HighlightedRowId() const;
    // Puts a row that is not in the table yet below the highlighted one (or first on an
    // empty page) and highlights it; the page keeps its size by dropping its last row.
    void ShowNewRow(const std::string& image);
    // Clears the buffer, puts the range values in and primes a new record (which
    // reserves its automatic number); false when that failed.
    bool PrimeNewRecord();

private:
    struct Range {
        size_t Field;
        const void* Record;
        const FieldDef* Source;
    };
    struct Order {
        int MAINKEY = -1;
        bool DESCENDING = false;
        std::vector<Range> RANGELIST;
        size_t FREEELEMENT = 0;
        std::unique_ptr<StepLocator> LOCATOR;
        std::unique_ptr<ThumbCalculator> THUMB;
    };
    struct Row {
        std::string Image;
        int64_t RowId = 0;
    };

    // Where a fill starts: the first or last record of the order, or a record given by
    // its key values and row (row 0: before every record of those values).
    enum class From { Top, Bottom, Record };
    void Fill(From from, const std::string& image = {}, int64_t rowId = 0, int row = 1);
    // Reads up to `count` records after (or before) a position that are within the
    // order's range.
    std::vector<Row> Read(const StoreTable::Position& from, bool forward, size_t count, bool& ended);
    StoreTable::Position PositionAt(const Row& row, bool including) const;
    StoreTable::Position EdgePosition(bool top) const;
    bool InRange(const std::string& image) const;
    // A cleared record with the current order's range values in it.
    std::string RangeImage() const;

    void ScrollRows(int rows);
    void ScrollPages(bool down);
    void Locate(const std::string& image);
    void TakeThumb();
    void TakeLocatorKey(unsigned char typed);
    void TakeAlertKey(int key);
    void TakeNewSelection();
    void ShowPage();
    void Follow();
    void UpdateButtons();
    void UpdateThumb();
    void Press(int control);
    void OpenPopup();
    uint8_t EditRow(uint8_t request);
    int PageSize() const;
    const Order* CurrentOrderEntry() const;
    std::string RangeValues() const;
    bool ControlEnabled(int control) const;

    std::vector<Order> orders_;
    int order_ = -1;
    std::vector<size_t> columns_;
    std::vector<Row> rows_;
    int choice_ = 0;
    bool moreBefore_ = false;
    bool moreAfter_ = false;
    bool loaded_ = false;
    bool needRefresh_ = false;
    int filledFor_ = 0;            // the page size of the last fill
    std::string rangeAtFill_;      // the range values of the last fill
    int startColumn_ = 1;
};

}  // namespace verdo
