#include "framework/BrowseManager.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "framework/DefaultMessages.h"
#include "framework/EditInPlace.h"
#include "framework/FileManager.h"
#include "framework/MessageLevels.h"
#include "framework/MessageManager.h"
#include "framework/RelationManager.h"
#include "framework/Requests.h"
#include "framework/ToolbarForwarder.h"
#include "framework/WindowManager.h"
#include "runtime/store/FieldValues.h"
#include "runtime/text/Text.h"
#include "runtime/window/EventCodes.h"
#include "runtime/window/Window.h"

namespace verdo {

namespace {

bool IsNumeric(FieldType type) {
    return type == FieldType::Long || type == FieldType::ULong || type == FieldType::UShort || type == FieldType::Byte;
}

// Numbers in a record image; dates and times are no numbers to a thumb or a typed digit.
int64_t NumberIn(const std::string& image, const FieldDef& field) {
    return IsNumeric(field.Type) ? NumberOf(field, image.data()) : 0;
}

void SetNumberIn(std::string& image, const FieldDef& field, int64_t value) {
    if (IsNumeric(field.Type)) SetNumber(field, value, image.data());
}

// The popup menu's entries in their order; 0 stands for a separator.
struct PopupItem {
    const char* Text;
    int BrowseManager::*Control;
};

}  // namespace

BrowseManager::BrowseManager() = default;
BrowseManager::~BrowseManager() = default;

void BrowseManager::Setup(int listControl, RelationManager* primary, WindowManager* window) {
    LIST = listControl;
    PRIMARY = primary;
    WINDOW = window;
    orders_.clear();
    columns_.clear();
    rows_.clear();
    choice_ = 0;
    order_ = -1;
    loaded_ = false;
    if (WINDOW) {
        WINDOW->RegisterItem(this);
        SELECTING = WINDOW->REQUEST == Request::Select;
    }
}

FileManager* BrowseManager::File() const { return PRIMARY ? PRIMARY->FILEMANAGER : nullptr; }

void BrowseManager::AddOrder(int key) {
    Order order;
    order.MAINKEY = key;
    const TableDef* table = File() ? File()->TABLE : nullptr;
    if (table && key >= 0 && key < static_cast<int>(table->Keys.size())) order.FREEELEMENT = table->Keys[key].Components.front();
    orders_.push_back(std::move(order));
}

void BrowseManager::AttachLocator(std::unique_ptr<StepLocator> locator) {
    if (orders_.empty() || !locator) return;
    locator->VIEWMANAGER = this;
    orders_.back().LOCATOR = std::move(locator);
}

void BrowseManager::LocatorSetup(int control, size_t freeElement, bool noCase) {
    if (!orders_.empty() && orders_.back().LOCATOR) orders_.back().LOCATOR->Setup(control, freeElement, noCase);
}

void BrowseManager::SetThumb(std::unique_ptr<ThumbCalculator> thumb) {
    if (orders_.empty()) return;
    orders_.back().THUMB = std::move(thumb);
}

void BrowseManager::SetDescending() {
    if (!orders_.empty()) orders_.back().DESCENDING = true;
}

void BrowseManager::AddRange(size_t field, const void* sourceRecord, const FieldDef& sourceField) {
    if (orders_.empty()) return;
    Order& order = orders_.back();
    order.RANGELIST.push_back({field, sourceRecord, &sourceField});
    // What a locator or the thumb may still choose is the key's next component.
    const TableDef* table = File()->TABLE;
    const std::vector<size_t>& components = table->Keys[order.MAINKEY].Components;
    size_t fixed = order.RANGELIST.size();
    order.FREEELEMENT = fixed < components.size() ? components[fixed] : table->Fields.size();
}

void BrowseManager::AddColumn(size_t field) {
    columns_.push_back(field);
    if (!WINDOW || !WINDOW->GetWindow() || !File()) return;
    std::vector<const FieldDef*> fields;
    for (size_t f : columns_) fields.push_back(&File()->TABLE->Fields[f]);
    WINDOW->GetWindow()->SetListFields(LIST, fields);
}

const BrowseManager::Order* BrowseManager::CurrentOrderEntry() const {
    return order_ >= 0 && order_ < static_cast<int>(orders_.size()) ? &orders_[order_] : nullptr;
}

void BrowseManager::SetSortOrder(int n) {
    if (n < 1 || n > static_cast<int>(orders_.size()) || n - 1 == order_) return;
    order_ = n - 1;
    if (loaded_) {
        ReloadAroundHighlight();
    } else {
        needRefresh_ = true;
    }
}

bool BrowseManager::ChooseSortOrder(bool force) {
    if (order_ < 0 && !orders_.empty()) {
        SetSortOrder(1);
        return true;
    }
    return force;
}

int BrowseManager::PageSize() const {
    Window* window = WINDOW ? WINDOW->GetWindow() : nullptr;
    return window ? std::max(1, window->ListRowsShown(LIST)) : 1;
}

std::string BrowseManager::RangeValues() const {
    std::string values;
    if (const Order* order = CurrentOrderEntry())
        for (const Range& range : order->RANGELIST)
            values.append(static_cast<const char*>(range.Record) + range.Source->Offset, range.Source->Size);
    return values;
}

bool BrowseManager::InRange(const std::string& image) const {
    const Order* order = CurrentOrderEntry();
    if (!order) return true;
    const TableDef* table = File()->TABLE;
    for (const Range& range : order->RANGELIST) {
        const FieldDef& field = table->Fields[range.Field];
        size_t size = std::min(field.Size, range.Source->Size);
        if (std::memcmp(image.data() + field.Offset, static_cast<const char*>(range.Record) + range.Source->Offset,
                        size) != 0)
            return false;
    }
    return true;
}

std::string BrowseManager::RangeImage() const {
    const TableDef* table = File()->TABLE;
    std::string image(table->RecordSize, '\0');
    ClearRecord(*table, image.data());
    const Order* order = CurrentOrderEntry();
    if (!order) return image;
    for (const Range& range : order->RANGELIST) {
        const FieldDef& field = table->Fields[range.Field];
        std::memcpy(image.data() + field.Offset, static_cast<const char*>(range.Record) + range.Source->Offset,
                    std::min(field.Size, range.Source->Size));
    }
    return image;
}

StoreTable::Position BrowseManager::PositionAt(const Row& row, bool including) const {
    const Order* order = CurrentOrderEntry();
    if (!order->DESCENDING || !including)
        return File()->PositionAt(order->MAINKEY, row.Image.data(), row.RowId, including);
    // Walked back along the key, the rows before the one just after it include the row
    // itself; row 0 stands for every row of those key values.
    int64_t after = row.RowId == 0 ? std::numeric_limits<int64_t>::max() : row.RowId + 1;
    StoreTable::Position position = File()->PositionAt(order->MAINKEY, row.Image.data(), after, false);
    position.CurrentRowId = 0;
    return position;
}

StoreTable::Position BrowseManager::EdgePosition(bool top) const {
    const Order* order = CurrentOrderEntry();
    if (order->RANGELIST.empty()) return StoreTable::StartOf(order->MAINKEY);
    // The list's top is the key's first record, or its last in a descending order.
    const bool first = top != order->DESCENDING;
    std::string image = RangeImage();
    return File()->PositionAt(order->MAINKEY, image.data(), first ? 0 : std::numeric_limits<int64_t>::max(), first);
}

std::vector<BrowseManager::Row> BrowseManager::Read(const StoreTable::Position& from, bool forward, size_t count,
                                                    bool& ended) {
    std::vector<Row> rows;
    ended = false;
    if (count == 0) return rows;
    FileManager* fm = File();
    fm->ResetPosition(from);
    const size_t size = fm->TABLE->RecordSize;
    const bool alongKey = forward != CurrentOrderEntry()->DESCENDING;
    while (rows.size() < count) {
        // The end of the table and a failed read (reported by the file manager) both end the walk.
        if ((alongKey ? fm->Next() : fm->Previous()) != LevelNone) {
            ended = true;
            break;
        }
        std::string image(static_cast<const char*>(fm->BUFFER), size);
        if (!InRange(image)) {
            ended = true;
            break;
        }
        rows.push_back({std::move(image), fm->CurrentRowId()});
    }
    return rows;
}

void BrowseManager::Fill(From from, const std::string& image, int64_t rowId, int row) {
    FileManager* fm = File();
    const Order* order = CurrentOrderEntry();
    if (!fm || !order || fm->UseFile() != LevelNone) {
        rows_.clear();
        choice_ = 0;
        ShowPage();
        return;
    }
    const size_t size = fm->TABLE->RecordSize;
    std::string saved(static_cast<const char*>(fm->BUFFER), size);
    const size_t page = static_cast<size_t>(PageSize());
    filledFor_ = static_cast<int>(page);
    rangeAtFill_ = RangeValues();

    std::vector<Row> rows;
    bool ended = false;
    size_t highlight = 1;
    if (from == From::Top) {
        rows = Read(EdgePosition(true), true, page, ended);
    } else if (from == From::Bottom) {
        rows = Read(EdgePosition(false), false, page, ended);
        std::reverse(rows.begin(), rows.end());
        highlight = rows.size();
    } else {
        Row anchor{image, rowId};
        size_t place = std::clamp<size_t>(static_cast<size_t>(std::max(row, 1)), 1, page);
        bool endBefore = false, endAfter = false;
        std::vector<Row> before = Read(PositionAt(anchor, false), false, place - 1, endBefore);
        std::vector<Row> after = Read(PositionAt(anchor, true), true, page - before.size(), endAfter);
        // Near the end of the table the page fills up with the records before it.
        if (before.size() + after.size() < page && !endBefore) {
            Row top = before.empty() ? anchor : before.back();
            std::vector<Row> more = Read(PositionAt(top, false), false, page - before.size() - after.size(), endBefore);
            before.insert(before.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
        }
        highlight = after.empty() ? before.size() : before.size() + 1;
        rows.assign(std::make_move_iterator(before.rbegin()), std::make_move_iterator(before.rend()));
        rows.insert(rows.end(), std::make_move_iterator(after.begin()), std::make_move_iterator(after.end()));
    }
    rows_ = std::move(rows);
    choice_ = rows_.empty() ? 0 : static_cast<int>(std::clamp<size_t>(highlight, 1, rows_.size()));

    if (ThumbCalculator* thumb = order->THUMB.get(); thumb && order->FREEELEMENT < fm->TABLE->Fields.size()) {
        const FieldDef& free = fm->TABLE->Fields[order->FREEELEMENT];
        bool end = false;
        std::vector<Row> first = Read(EdgePosition(true), true, 1, end);
        std::vector<Row> last = Read(EdgePosition(false), false, 1, end);
        thumb->Setup(first.empty() ? 0 : NumberIn(first.front().Image, free),
                     last.empty() ? 0 : NumberIn(last.front().Image, free));
    }
    std::memcpy(fm->BUFFER, saved.data(), size);
    loaded_ = true;
    needRefresh_ = false;
    Follow();
    ShowPage();
}

void BrowseManager::ReloadAroundHighlight() {
    if (Window* window = WINDOW ? WINDOW->GetWindow() : nullptr; window && choice_ > 0)
        choice_ = std::clamp(window->Choice(LIST), 1, static_cast<int>(rows_.size()));
    if (choice_ < 1 || choice_ > static_cast<int>(rows_.size()) || !CurrentOrderEntry() ||
        !InRange(rows_[choice_ - 1].Image)) {
        Fill(From::Top);
        return;
    }
    Row current = rows_[choice_ - 1];
    Fill(From::Record, current.Image, current.RowId, RETAINROW ? choice_ : 1);
}

void BrowseManager::ReloadAtBuffer(int64_t rowId) {
    FileManager* fm = File();
    ReloadAt(std::string(static_cast<const char*>(fm->BUFFER), fm->TABLE->RecordSize), rowId);
}

void BrowseManager::ReloadAt(const std::string& image, int64_t rowId) {
    if (!CurrentOrderEntry() || !InRange(image)) {
        ReloadAroundHighlight();
        return;
    }
    Fill(From::Record, image, rowId, RETAINROW ? std::max(choice_, 1) : 1);
}

bool BrowseManager::MoveHighlight(int step) {
    if (rows_.empty()) return false;
    int64_t before = rows_[choice_ - 1].RowId;
    ScrollRows(step);
    return !rows_.empty() && rows_[choice_ - 1].RowId != before;
}

int64_t BrowseManager::HighlightedRowId() const {
    return choice_ >= 1 && choice_ <= static_cast<int>(rows_.size()) ? rows_[choice_ - 1].RowId : 0;
}

void BrowseManager::ShowNewRow(const std::string& image) {
    size_t at = choice_ > 0 ? static_cast<size_t>(choice_) : 0;
    rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(at), Row{image, 0});
    if (rows_.size() > static_cast<size_t>(PageSize())) {
        // The row drops off the end farther from the new one.
        if (at + 1 >= rows_.size()) {
            rows_.erase(rows_.begin());
            --at;
        } else {
            rows_.pop_back();
        }
    }
    choice_ = static_cast<int>(at) + 1;
    ShowPage();
}

void BrowseManager::Follow() {
    FileManager* fm = File();
    if (!fm || choice_ < 1 || choice_ > static_cast<int>(rows_.size())) return;
    std::memcpy(fm->BUFFER, rows_[choice_ - 1].Image.data(), fm->TABLE->RecordSize);
}

void BrowseManager::ShowPage() {
    Window* window = WINDOW ? WINDOW->GetWindow() : nullptr;
    if (!window) return;
    std::vector<std::string> images;
    images.reserve(rows_.size());
    for (const Row& row : rows_) images.push_back(ShownImage(row.Image));
    window->SetListRows(LIST, images);
    window->SetChoice(LIST, choice_);
    UpdateButtons();
    UpdateThumb();
}

void BrowseManager::UpdateButtons() {
    Window* window = WINDOW ? WINDOW->GetWindow() : nullptr;
    if (!window) return;
    for (int control : {CHANGECONTROL, DELETECONTROL, VIEWCONTROL, SELECTCONTROL})
        if (control) window->SetControlEnabled(control, !rows_.empty());
}

void BrowseManager::UpdateThumb() {
    Window* window = WINDOW ? WINDOW->GetWindow() : nullptr;
    const Order* order = CurrentOrderEntry();
    if (!window || !order) return;
    if (rows_.empty()) {
        window->SetListThumb(LIST, 0);
        return;
    }
    const TableDef* table = File()->TABLE;
    if (order->THUMB && order->THUMB->Spans() && order->FREEELEMENT < table->Fields.size()) {
        int64_t value = NumberIn(rows_[choice_ - 1].Image, table->Fields[order->FREEELEMENT]);
        window->SetListThumb(LIST, order->THUMB->PercentOf(value));
        return;
    }
    if (HASTHUMB) {
        int last = static_cast<int>(rows_.size());
        window->SetListThumb(LIST, last > 1 ? (choice_ - 1) * 100 / (last - 1) : 0);
        return;
    }
    // Without a calculator the thumb only tells whether the page is at an end.
    bool ended = false;
    bool before = !Read(PositionAt(rows_.front(), false), false, 1, ended).empty();
    bool after = !Read(PositionAt(rows_.back(), false), true, 1, ended).empty();
    Follow();
    window->SetListThumb(LIST, !before ? 0 : !after ? 100 : 50);
}

void BrowseManager::ScrollRows(int rows) {
    if (rows_.empty()) {
        Fill(From::Top);
        return;
    }
    bool ended = false;
    FileManager* fm = File();
    std::string saved(static_cast<const char*>(fm->BUFFER), fm->TABLE->RecordSize);
    if (rows > 0) {
        if (choice_ < static_cast<int>(rows_.size())) {
            ++choice_;
        } else if (std::vector<Row> next = Read(PositionAt(rows_.back(), false), true, 1, ended); !next.empty()) {
            rows_.erase(rows_.begin());
            rows_.push_back(std::move(next.front()));
        }
    } else {
        if (choice_ > 1) {
            --choice_;
        } else if (std::vector<Row> prior = Read(PositionAt(rows_.front(), false), false, 1, ended); !prior.empty()) {
            rows_.pop_back();
            rows_.insert(rows_.begin(), std::move(prior.front()));
        }
    }
    std::memcpy(fm->BUFFER, saved.data(), saved.size());
    Follow();
    ShowPage();
}

void BrowseManager::ScrollPages(bool down) {
    if (rows_.empty()) {
        Fill(From::Top);
        return;
    }
    const size_t page = static_cast<size_t>(PageSize());
    bool ended = false;
    FileManager* fm = File();
    std::string saved(static_cast<const char*>(fm->BUFFER), fm->TABLE->RecordSize);
    if (down) {
        std::vector<Row> more = Read(PositionAt(rows_.back(), false), true, page, ended);
        if (more.empty()) {
            choice_ = static_cast<int>(rows_.size());
        } else {
            rows_.insert(rows_.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
            if (rows_.size() > page) rows_.erase(rows_.begin(), rows_.begin() + static_cast<std::ptrdiff_t>(rows_.size() - page));
        }
    } else {
        std::vector<Row> more = Read(PositionAt(rows_.front(), false), false, page, ended);
        if (more.empty()) {
            choice_ = 1;
        } else {
            rows_.insert(rows_.begin(), std::make_move_iterator(more.rbegin()), std::make_move_iterator(more.rend()));
            if (rows_.size() > page) rows_.resize(page);
        }
    }
    choice_ = std::clamp(choice_, 1, static_cast<int>(rows_.size()));
    std::memcpy(fm->BUFFER, saved.data(), saved.size());
    Follow();
    ShowPage();
}

void BrowseManager::Locate(const std::string& image) {
    Fill(From::Record, image, 0, RETAINROW ? std::max(choice_, 1) : 1);
}

void BrowseManager::TakeThumb() {
    Window* window = WINDOW->GetWindow();
    int percent = window->ListThumb(LIST);
    const Order* order = CurrentOrderEntry();
    if (!order) return;
    if (percent <= 1) {
        Fill(From::Top);
        return;
    }
    if (percent >= 100) {
        Fill(From::Bottom);
        return;
    }
    const TableDef* table = File()->TABLE;
    if (order->THUMB && order->THUMB->Spans() && order->FREEELEMENT < table->Fields.size()) {
        std::string image = RangeImage();
        SetNumberIn(image, table->Fields[order->FREEELEMENT], order->THUMB->ValueAt(percent));
        Locate(image);
        return;
    }
    if (HASTHUMB && !rows_.empty()) {
        int last = static_cast<int>(rows_.size());
        choice_ = std::clamp(1 + (percent * (last - 1) + 50) / 100, 1, last);
        Follow();
        ShowPage();
        return;
    }
    if (percent < 50) ScrollPages(false);
    if (percent > 50) ScrollPages(true);
    if (percent == 50) UpdateThumb();
}

void BrowseManager::TakeLocatorKey(unsigned char typed) {
    const Order* order = CurrentOrderEntry();
    const TableDef* table = File() ? File()->TABLE : nullptr;
    if (!order || !order->LOCATOR || !table) return;
    // The browse makes sure its order is the one the window wants before it searches.
    if (ChooseSortOrder(false)) order = CurrentOrderEntry();
    size_t element = order->LOCATOR->FREEELEMENT;
    if (element >= table->Fields.size()) return;
    const FieldDef& field = table->Fields[element];
    std::string current;
    if (choice_ > 0) {
        const std::string& image = rows_[choice_ - 1].Image;
        current = field.Type == FieldType::String ? FieldText(image.data() + field.Offset, field.Size)
                  : IsNumeric(field.Type)          ? std::to_string(NumberIn(image, field))
                                                   : std::string();
    }
    std::string seek = order->LOCATOR->Seek(typed, current);
    if (seek.empty()) return;
    std::string image = RangeImage();
    if (field.Type == FieldType::String) {
        AssignField(image.data() + field.Offset, field.Size, seek);
    } else if (IsNumeric(field.Type) && typed >= '0' && typed <= '9') {
        SetNumberIn(image, field, typed - '0');
    } else {
        return;
    }
    Locate(image);
}

void BrowseManager::TakeNewSelection() {
    Window* window = WINDOW->GetWindow();
    if (rows_.empty()) return;
    choice_ = std::clamp(window->Choice(LIST), 1, static_cast<int>(rows_.size()));
    Follow();
    UpdateThumb();
}

bool BrowseManager::ControlEnabled(int control) const {
    return control == INSERTCONTROL || !rows_.empty();
}

void BrowseManager::Press(int control) {
    Window* window = WINDOW ? WINDOW->GetWindow() : nullptr;
    if (window && control && ControlEnabled(control)) window->PostEvent(Event::Accepted, control);
}

void BrowseManager::TakeAlertKey(int key) {
    if (key != Key::MouseLeftDouble) startColumn_ = 1;
    if (key & Key::CharFlag) {
        TakeLocatorKey(static_cast<unsigned char>(key & 0xFF));
        return;
    }
    switch (key) {
        case Key::Insert: Press(INSERTCONTROL); break;
        case Key::Delete: Press(DELETECONTROL); break;
        case CtrlEnter: Press(CHANGECONTROL); break;
        case ShiftEnter: Press(VIEWCONTROL); break;
        case Key::MouseLeftDouble:
            startColumn_ = WINDOW->GetWindow()->ListClickedColumn(LIST);
            Press(SELECTING ? SELECTCONTROL : CHANGECONTROL);
            break;
        case Key::MouseRightUp: OpenPopup(); break;
        default: break;
    }
}

void BrowseManager::OpenPopup() {
    Window* window = WINDOW->GetWindow();
    static const PopupItem items[] = {
        {"&Insert", &BrowseManager::INSERTCONTROL}, {"&Change", &BrowseManager::CHANGECONTROL},
        {"&Delete", &BrowseManager::DELETECONTROL}, {"&View", &BrowseManager::VIEWCONTROL},
        {"&Print", &BrowseManager::PRINTCONTROL},   {nullptr, nullptr},
        {"&Query", &BrowseManager::QUERYCONTROL},   {"&Select", &BrowseManager::SELECTCONTROL},
        {nullptr, nullptr},                         {"&Toolbox", &BrowseManager::TOOLCONTROL},
    };
    std::vector<PopupEntry> entries;
    std::vector<int> controls;
    for (const PopupItem& item : items) {
        if (!item.Text) {
            // Separators only stand between entries.
            if (!entries.empty() && !entries.back().Separator) {
                entries.push_back({{}, true, true});
                controls.push_back(0);
            }
            continue;
        }
        int control = this->*item.Control;
        if (!control || (item.Control == &BrowseManager::SELECTCONTROL && !SELECTING)) continue;
        entries.push_back({item.Text, ControlEnabled(control), false});
        controls.push_back(control);
    }
    while (!entries.empty() && entries.back().Separator) {
        entries.pop_back();
        controls.pop_back();
    }
    if (entries.empty()) return;
    int chosen = window->PopupMenu(entries);
    if (chosen >= 1 && chosen <= static_cast<int>(controls.size())) Press(controls[chosen - 1]);
}

bool BrowseManager::PrimeNewRecord() {
    FileManager* fm = File();
    std::string image = RangeImage();
    std::memcpy(fm->BUFFER, image.data(), image.size());
    return fm->PrimeRecord(true) == LevelNone;
}

uint8_t BrowseManager::RequestRecord(uint8_t request) {
    if (!WINDOW || !File()) return Response::Cancelled;
    FileManager* fm = File();
    uint8_t response = Response::Cancelled;
    WINDOW->VCRREQUEST = 0;
    struct ColumnReset {
        int& column;
        ~ColumnReset() { column = 1; }
    } reset{startColumn_};
    for (;;) {
        if (Window* window = WINDOW->GetWindow(); window && !rows_.empty())
            choice_ = std::clamp(window->Choice(LIST), 1, static_cast<int>(rows_.size()));
        if (request != Request::Insert) {
            if (rows_.empty()) return Response::Cancelled;
            // The form works on the record as the store holds it now.
            if (fm->TryReget(PositionAt(rows_[choice_ - 1], false)) != LevelNone) {
                fm->Raise(RetrievalError);
                ReloadAroundHighlight();
                return Response::Cancelled;
            }
        }
        if (ASKPROCEDURE) {
            if (request == Request::Insert && !PrimeNewRecord()) return Response::Cancelled;
            response = WINDOW->RunProcedure(ASKPROCEDURE, request);
        } else {
            response = EditRow(request);
            // An edit in place goes on over the events that follow; it reloads the page itself.
            if (response == Response::Undecided) return response;
        }
        bool stored = response == Response::Completed && (request == Request::Insert || request == Request::Change);
        if (stored) {
            ReloadAtBuffer(fm->CurrentRowId());
        } else {
            ReloadAroundHighlight();
        }
        // The form's own next and previous buttons leave a request to go on with.
        if (!ASKPROCEDURE || WINDOW->VCRREQUEST == 0) break;
        int step = WINDOW->VCRREQUEST == VcrPrevious ? -1 : 1;
        WINDOW->VCRREQUEST = 0;
        if (!MoveHighlight(step)) break;
        request = Request::Change;
    }
    return response;
}

uint8_t BrowseManager::EditRow(uint8_t request) {
    if (request == Request::Delete) {
        return PRIMARY->Delete(true) == LevelNone ? Response::Completed : Response::Cancelled;
    }
    if (EDITINPLACE && (request == Request::Insert || request == Request::Change))
        return EDITINPLACE->Edit(*this, request);
    return Response::Cancelled;
}

void BrowseManager::Refresh(bool force) {
    ChooseSortOrder(force);
    if (!CurrentOrderEntry()) return;
    ReloadAroundHighlight();
}

bool BrowseManager::NeedsRefresh() {
    if (orders_.empty()) return false;
    ChooseSortOrder(false);
    if (needRefresh_ || !loaded_) return true;
    if (RangeValues() != rangeAtFill_) return true;
    return PageSize() != filledFor_;
}

void BrowseManager::UpdateFromWindow() {
    if (Window* window = WINDOW ? WINDOW->GetWindow() : nullptr; window && !rows_.empty())
        choice_ = std::clamp(window->Choice(LIST), 1, static_cast<int>(rows_.size()));
    Follow();
}

void BrowseManager::RegisterAlertKeys() {
    Window* window = WINDOW ? WINDOW->GetWindow() : nullptr;
    if (!window) return;
    for (int key : {Key::Insert, Key::Delete, CtrlEnter, ShiftEnter, Key::MouseLeftDouble, Key::MouseRightUp})
        window->SetAlertKey(LIST, key);
}

uint8_t BrowseManager::TakeEvent(const WindowEvent& event) {
    if (!WINDOW || !WINDOW->GetWindow()) return LevelNone;
    if (EDITINPLACE && EDITINPLACE->Editing())
        if (uint8_t level = EDITINPLACE->TakeEvent(event); level != LevelNone) return level;
    if (event.Control == LIST && LIST != 0) {
        switch (event.Code) {
            case Event::ScrollUp: ScrollRows(-1); return LevelNotice;
            case Event::ScrollDown: ScrollRows(1); return LevelNotice;
            case Event::PageUp: ScrollPages(false); return LevelNotice;
            case Event::PageDown: ScrollPages(true); return LevelNotice;
            case Event::ScrollTop: Fill(From::Top); return LevelNotice;
            case Event::ScrollBottom: Fill(From::Bottom); return LevelNotice;
            case Event::ScrollDrag: TakeThumb(); return LevelNotice;
            case Event::NewSelection: TakeNewSelection(); return LevelNotice;
            case Event::AlertKey: TakeAlertKey(event.Key); return LevelNotice;
            case Event::Locate: return LevelNotice;
            default: return LevelNone;
        }
    }
    if (event.Code != Event::Accepted || event.Control == 0) return LevelNone;
    const int control = event.Control;
    if (control == INSERTCONTROL || control == CHANGECONTROL || control == DELETECONTROL || control == VIEWCONTROL) {
        WINDOW->UpdateItems();
        uint8_t request = control == INSERTCONTROL   ? Request::Insert
                          : control == CHANGECONTROL ? Request::Change
                          : control == DELETECONTROL ? Request::Delete
                                                     : Request::View;
        RequestRecord(request);
        return LevelNotice;
    }
    if (control == SELECTCONTROL) {
        WINDOW->UpdateItems();
        WINDOW->EndWithResponse(Response::Completed);
        return LevelNotice;
    }
    if (control == PRINTCONTROL) {
        WINDOW->UpdateItems();
        WINDOW->RunProcedure(PRINTPROCEDURE, Request::Print);
        return LevelNotice;
    }
    if (control == TOOLCONTROL) {
        OpenPopup();
        return LevelNotice;
    }
    return LevelNone;
}

void BrowseManager::AttachToolbar(ToolbarForwarder* toolbar) {
    TOOLBAR = toolbar;
    if (!TOOLBAR) return;
    TOOLBAR->SetTip(ToolbarInsert, "Insert a new Record");
    TOOLBAR->SetTip(ToolbarBottom, "Go to the Last Page");
    TOOLBAR->SetTip(ToolbarTop, "Go to the First Page");
    TOOLBAR->SetTip(ToolbarPageDown, "Go to the Next Page");
    TOOLBAR->SetTip(ToolbarPageUp, "Go to the Prior Page");
    TOOLBAR->SetTip(ToolbarDown, "Go to the Next Record");
    TOOLBAR->SetTip(ToolbarUp, "Go to the Prior Record");
}

uint8_t BrowseManager::TakeToolbarButton(int button) {
    Window* window = WINDOW ? WINDOW->GetWindow() : nullptr;
    if (!window || !TOOLBAR) return LevelNone;
    switch (button) {
        case ToolbarInsert: Press(INSERTCONTROL); break;
        case ToolbarChange: Press(CHANGECONTROL); break;
        case ToolbarDelete: Press(DELETECONTROL); break;
        case ToolbarSelect:
            WINDOW->UpdateItems();
            WINDOW->EndWithResponse(SELECTING ? Response::Completed : Response::Cancelled);
            break;
        case ToolbarBottom: Fill(From::Bottom); break;
        case ToolbarTop: Fill(From::Top); break;
        case ToolbarPageDown: ScrollPages(true); break;
        case ToolbarPageUp: ScrollPages(false); break;
        case ToolbarDown: ScrollRows(1); break;
        case ToolbarUp: ScrollRows(-1); break;
        case ToolbarLocate: window->PostEvent(Event::Locate, LIST); break;
        case ToolbarHelp: window->PostEvent(Event::AlertKey, 0, Key::F1); break;
        default: return LevelNone;
    }
    return LevelNotice;
}

void BrowseManager::Finish() {
    if (EDITINPLACE) EDITINPLACE->Abandon();
    rows_.clear();
    orders_.clear();
    columns_.clear();
    choice_ = 0;
    order_ = -1;
    loaded_ = false;
    TOOLBAR = nullptr;
}

}  // namespace verdo
