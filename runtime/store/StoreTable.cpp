#include "runtime/store/StoreTable.h"

#include <cstring>
#include <strings.h>

#include "runtime/RuntimeError.h"
#include "runtime/store/StoreEngines.h"
#include "runtime/store/StoreSchema.h"

namespace verdo {

namespace {
// Lock conflicts wait this long once a table is open.
constexpr int OperatingBusyMs = 2000;
constexpr int ShortLockWaitMs = 250;
}  // namespace

StoreTable::StoreTable(const TableDef& table, std::string name) : table_(table), name_(std::move(name)) {
    SplitName(name_, path_, label_);
}

StoreTable::~StoreTable() { Close(); }

void StoreTable::SplitName(const std::string& name, std::string& path, std::string& label) {
    size_t mark = name.rfind("\\!");
    if (mark == std::string::npos) {
        path = name;
        label.clear();
        return;
    }
    path = name.substr(0, mark);
    label = name.substr(mark + 2);
}

void StoreTable::Send(const std::string& command) {
    const std::string prefix = "Recover=";
    if (strncasecmp(command.c_str(), prefix.c_str(), prefix.size()) == 0)
        recoverSeconds_ = std::atoi(command.c_str() + prefix.size());
}

int StoreTable::WrongState(int code) {
    SetLastError(code);
    return code;
}

int StoreTable::Failed(StoreEngine& engine, int code) {
    if (code == NoError) return NoError;
    RuntimeErrorState failure = engine.Failure();
    if (failure.Code == code) SetLastError(code, failure.FileCode, failure.FileText);
    else SetLastError(code);
    return code;
}

int StoreTable::Open(uint8_t mode) {
    if (engine_) return WrongState(AlreadyOpenErr);
    if (strcasecmp(label_.c_str(), table_.Label.c_str()) != 0) return WrongState(FileNotFoundErr);
    bool write = (mode & 0x03) == ReadWriteAccess;
    int error = NoError;
    auto engine = AcquireStore(path_, write, error);
    if (!engine) return error;

    // The table and every key of it must be there.
    error = engine->CheckTable(table_);
    if (error != NoError) return Failed(*engine, error);
    if (write) {
        // A lock held by another process is waited for briefly, and for the lock-recovery
        // time once the file manager has asked for it.
        engine->SetLockWait(recoverSeconds_ > 0 ? recoverSeconds_ * 1000 : ShortLockWaitMs);
        error = engine->CheckWriteAccess(table_);
        if (error != NoError) {
            engine->SetLockWait(OperatingBusyMs);
            return Failed(*engine, error);
        }
    }
    if (engine->LockWait() < OperatingBusyMs) engine->SetLockWait(OperatingBusyMs);
    engine_ = std::move(engine);
    SetOrder(-1);
    ClearLastError();
    return NoError;
}

int StoreTable::Close() {
    engine_.reset();
    currentRowId_ = 0;
    currentImage_.clear();
    place_ = Place::BeforeFirst;
    return NoError;
}

int StoreTable::Create() { return CreateStoreTable(path_, table_); }

int StoreTable::BuildKeys() {
    int error = NoError;
    auto engine = engine_ ? engine_ : AcquireStore(path_, true, error);
    if (!engine) return error;
    error = engine->BuildKeys(table_);
    return Failed(*engine, error);
}

void StoreTable::SetOrder(int key) {
    order_ = key >= 0 && key < static_cast<int>(table_.Keys.size()) ? key : -1;
    place_ = Place::BeforeFirst;
}

void StoreTable::SetPosition(int key, const void* record) {
    SetOrder(key);
    positionImage_.assign(static_cast<const char*>(record), table_.RecordSize);
    positionRowId_ = 0;
    place_ = order_ < 0 ? Place::BeforeFirst : Place::BeforeValues;
}

int StoreTable::Next(void* record) { return Read(true, record); }

int StoreTable::Previous(void* record) { return Read(false, record); }

int StoreTable::Read(bool forward, void* record) {
    if (!engine_) return WrongState(FileSystemErr);
    if ((forward && place_ == Place::AfterLast) || (!forward && place_ == Place::AtStart))
        return WrongState(RecordNotAvailErr);
    ReadFrom from;
    from.Key = order_;
    from.Forward = forward;
    if (place_ == Place::AtRecord) from.From = ReadFrom::Bound::After;
    if (place_ == Place::BeforeValues) from.From = ReadFrom::Bound::AtValues;
    from.Values = positionImage_.data();
    from.RowId = positionRowId_;
    int64_t rowId = 0;
    int error = engine_->Read(table_, from, record, rowId);
    if (error == NoError) return Fetched(record, rowId);
    if (error == RecordNotAvailErr) place_ = forward ? Place::AfterLast : Place::AtStart;
    return Failed(*engine_, error);
}

int StoreTable::Fetched(const void* record, int64_t rowId) {
    currentRowId_ = rowId;
    currentImage_.assign(static_cast<const char*>(record), table_.RecordSize);
    positionImage_ = currentImage_;
    positionRowId_ = currentRowId_;
    place_ = Place::AtRecord;
    ClearLastError();
    return NoError;
}

int StoreTable::Get(int key, void* record) {
    if (!engine_) return WrongState(FileSystemErr);
    if (key < 0 || key >= static_cast<int>(table_.Keys.size())) return WrongState(BadKeyErr);
    order_ = key;
    int64_t rowId = 0;
    int error = engine_->Get(table_, key, record, engine_->InTransaction(), record, rowId);
    return error == NoError ? Fetched(record, rowId) : Failed(*engine_, error);
}

template <typename Write>
int StoreTable::Guarded(Write write) {
    bool own = !engine_->InTransaction();
    if (own) {
        int error = engine_->Begin(engine_->LockWait());
        if (error != NoError) return error == AccessDeniedErr ? WrongState(IsHeldErr) : Failed(*engine_, error);
    }
    int error = write();
    if (!own) return error;
    if (error != NoError) return KeepingFailure(error, [&] { engine_->Rollback(); });
    error = engine_->Commit();
    return Failed(*engine_, error);
}

int StoreTable::Add(const void* record) {
    if (!engine_) return WrongState(FileSystemErr);
    int64_t rowId = 0;
    // What the store keeps is what a later write is checked against.
    std::string stored(table_.RecordSize, '\0');
    int error = Guarded([&]() -> int {
        int e = engine_->Insert(table_, record, rowId, stored.data());
        return Failed(*engine_, e);
    });
    if (error != NoError) return error;
    return Fetched(stored.data(), rowId);
}

int StoreTable::Put(const void* record) {
    if (!engine_) return WrongState(FileSystemErr);
    if (currentRowId_ == 0) return WrongState(RecordNotAvailErr);
    std::string stored(table_.RecordSize, '\0');
    int error = Guarded([&]() -> int {
        // The row is held from this read to the end of the write, so that nobody changes
        // it between the check and the write.
        int e = engine_->ReadRow(table_, currentRowId_, true, stored.data());
        if (e != NoError) return Failed(*engine_, e);
        if (stored != currentImage_) return WrongState(RecordChangedErr);
        // Only what the program changed is written. A stored value that a record cannot
        // hold as it is (a character above U+00FF, a text longer than its field, written
        // by another program) reaches the record changed, and writing that back would
        // lose it although nobody touched it.
        std::vector<const FieldDef*> changed;
        for (const FieldDef* f : schema::StoredFields(table_))
            if (std::memcmp(static_cast<const char*>(record) + f->Offset, currentImage_.data() + f->Offset, f->Size) != 0)
                changed.push_back(f);
        if (changed.empty()) return NoError;
        e = engine_->Update(table_, currentRowId_, changed, record, stored.data());
        return Failed(*engine_, e);
    });
    if (error != NoError) return error;
    currentImage_ = stored;
    ClearLastError();
    return NoError;
}

int StoreTable::Remove() {
    if (!engine_) return WrongState(FileSystemErr);
    if (currentRowId_ == 0) return WrongState(RecordNotAvailErr);
    int error = Guarded([&]() -> int {
        int e = engine_->Delete(table_, currentRowId_);
        return Failed(*engine_, e);
    });
    if (error != NoError) return error;
    // The walk goes on from where the record stood.
    currentRowId_ = 0;
    currentImage_.clear();
    ClearLastError();
    return NoError;
}

int StoreTable::Reread(void* record) {
    if (!engine_) return WrongState(FileSystemErr);
    if (currentRowId_ == 0) return WrongState(RecordNotAvailErr);
    int error = engine_->ReadRow(table_, currentRowId_, false, record);
    if (error != NoError) return Failed(*engine_, error);
    currentImage_.assign(static_cast<const char*>(record), table_.RecordSize);
    return NoError;
}

StoreTable::Position StoreTable::CurrentPosition() const {
    return Position{order_, static_cast<int>(place_), positionRowId_, positionImage_, currentRowId_, currentImage_};
}

StoreTable::Position StoreTable::PositionAt(const TableDef& table, int key, const void* record, int64_t rowId,
                                            bool including) {
    Position position;
    position.Key = key >= 0 && key < static_cast<int>(table.Keys.size()) ? key : -1;
    position.Place = static_cast<int>(Place::AtRecord);
    // Rows are whole numbers: the rows after the one just before it include the row itself.
    position.RowId = including ? rowId - 1 : rowId;
    position.Image.assign(static_cast<const char*>(record), table.RecordSize);
    // The record itself is the one read last, so that it can be read again.
    if (!including) position.CurrentRowId = rowId;
    return position;
}

StoreTable::Position StoreTable::StartOf(int key) {
    Position position;
    position.Key = key;
    position.Place = static_cast<int>(Place::BeforeFirst);
    return position;
}

void StoreTable::Reset(const Position& position) {
    order_ = position.Key;
    place_ = static_cast<Place>(position.Place);
    positionRowId_ = position.RowId;
    positionImage_ = position.Image;
    currentRowId_ = position.CurrentRowId;
    currentImage_ = position.CurrentImage;
}

int StoreTable::BeginTransaction(int timeoutMs) {
    if (!engine_) return WrongState(FileSystemErr);
    int error = engine_->Begin(timeoutMs);
    return Failed(*engine_, error);
}

int StoreTable::CommitTransaction() {
    if (!engine_) return NoError;
    int error = engine_->Commit();
    return Failed(*engine_, error);
}

int StoreTable::RollbackTransaction() {
    if (!engine_) return NoError;
    int error = engine_->Rollback();
    return Failed(*engine_, error);
}

}  // namespace verdo
