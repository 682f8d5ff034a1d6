#include "runtime/store/StoreTable.h"

#include <sqlite3.h>

#include <climits>
#include <cstring>
#include <set>
#include <strings.h>

#include "runtime/RuntimeError.h"
#include "runtime/store/RecordCodec.h"
#include "runtime/store/SqliteErrors.h"
#include "runtime/store/StoreConnection.h"
#include "runtime/store/StoreSchema.h"

namespace verdo {

namespace {
// Lock conflicts wait this long once a table is open.
constexpr int OperatingBusyMs = 2000;
constexpr int ShortLockWaitMs = 250;

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }
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

int StoreTable::Open(uint8_t mode) {
    if (connection_) return WrongState(AlreadyOpenErr);
    if (strcasecmp(label_.c_str(), table_.Label.c_str()) != 0) return WrongState(FileNotFoundErr);
    bool write = (mode & 0x03) == ReadWriteAccess;
    int error = NoError;
    auto connection = StoreConnection::Acquire(path_, write, error);
    if (!connection) return error;

    // The table and every key of it must be there.
    sqlite3_stmt* objects = connection->Prepare(
        "SELECT type, name FROM sqlite_master WHERE tbl_name = ? COLLATE NOCASE", error);
    if (!objects) return error;
    sqlite3_bind_text(objects, 1, table_.Label.c_str(), -1, SQLITE_TRANSIENT);
    bool tableFound = false;
    std::set<std::string> indexes;
    int rc;
    while ((rc = sqlite3_step(objects)) == SQLITE_ROW) {
        std::string type = reinterpret_cast<const char*>(sqlite3_column_text(objects, 0));
        std::string name = reinterpret_cast<const char*>(sqlite3_column_text(objects, 1));
        if (type == "table") tableFound = true;
        if (type == "index") indexes.insert(name);
    }
    sqlite3_reset(objects);
    if (rc != SQLITE_DONE) return RecordSqliteFailure(connection->Db(), rc, AccessDeniedErr);
    if (!tableFound) return WrongState(FileNotFoundErr);
    for (const KeyDef& key : table_.Keys)
        if (!indexes.count(schema::IndexName(key))) return WrongState(BadKeyErr);

    if (write) {
        // A lock held by another process is waited for briefly, and for the lock-recovery
        // time once the file manager has asked for it.
        connection->SetBusyTimeout(recoverSeconds_ > 0 ? recoverSeconds_ * 1000 : ShortLockWaitMs);
        error = connection->ProbeWriteLock();
        if (error != NoError) {
            connection->SetBusyTimeout(OperatingBusyMs);
            return error;
        }
    }
    if (connection->BusyTimeout() < OperatingBusyMs) connection->SetBusyTimeout(OperatingBusyMs);
    connection_ = std::move(connection);
    SetOrder(-1);
    ClearLastError();
    return NoError;
}

int StoreTable::Close() {
    connection_.reset();
    currentRowId_ = 0;
    currentImage_.clear();
    place_ = Place::BeforeFirst;
    return NoError;
}

int StoreTable::Create() {
    int error = NoError;
    auto connection = StoreConnection::Acquire(path_, true, error);
    if (error == FileNotFoundErr) return StoreConnection::CreateFile(path_);
    if (!connection) return error;
    error = connection->Begin(OperatingBusyMs);
    if (error != NoError) return error;
    error = connection->Exec(schema::CreateTableSql(table_), AccessDeniedErr);
    for (const KeyDef& key : table_.Keys)
        if (error == NoError) error = connection->Exec(schema::CreateIndexSql(table_, key), AccessDeniedErr);
    if (error != NoError) {
        RuntimeErrorState failure = LastError();
        connection->Rollback();
        SetLastError(failure.Code, failure.FileCode, failure.FileText);
        return error;
    }
    // A lookup table made anew gets its standard rows back.
    const CatalogEntry* entry = FindCatalogTable(table_.Label);
    if (entry && entry->StandardRows) {
        sqlite3_stmt* insert = connection->Prepare(schema::InsertSql(table_), error);
        for (const std::string& row : entry->StandardRows()) {
            if (!insert || error != NoError) break;
            BindRecord(insert, 1, table_, row.data());
            int rc = sqlite3_step(insert);
            sqlite3_reset(insert);
            if (rc != SQLITE_DONE) error = RecordSqliteFailure(connection->Db(), rc, AccessDeniedErr);
        }
    }
    if (error != NoError) {
        connection->Rollback();
        return error;
    }
    return connection->Commit();
}

int StoreTable::BuildKeys() {
    int error = NoError;
    auto connection = connection_ ? connection_ : StoreConnection::Acquire(path_, true, error);
    if (!connection) return error;
    for (const KeyDef& key : table_.Keys) {
        error = connection->Exec("DROP INDEX IF EXISTS " + Quoted(schema::IndexName(key)), AccessDeniedErr);
        if (error == NoError) error = connection->Exec(schema::CreateIndexSql(table_, key), AccessDeniedErr);
        if (error != NoError) return error;
    }
    return NoError;
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
    if (!connection_) return WrongState(FileSystemErr);
    if ((forward && place_ == Place::AfterLast) || (!forward && place_ == Place::AtStart))
        return WrongState(RecordNotAvailErr);

    std::string where = "1";
    std::string orderBy;
    std::string row = "rowid";
    if (order_ >= 0) {
        const KeyDef& key = table_.Keys[order_];
        where = schema::NotEmptyCondition(table_, key);
        std::string values;
        for (size_t i = 0; i < key.Components.size(); ++i) {
            std::string column = schema::OrderedColumn(table_, key, i);
            orderBy += column + (forward ? "" : " DESC") + ", ";
            values += (i ? ", " : "") + column;
        }
        row = values + ", rowid";
        if (place_ == Place::BeforeValues) row = values;
    }
    orderBy += forward ? "rowid" : "rowid DESC";

    bool bindPosition = place_ == Place::AtRecord || place_ == Place::BeforeValues;
    if (bindPosition) {
        std::string marks;
        size_t count = order_ >= 0 ? table_.Keys[order_].Components.size() : 0;
        for (size_t i = 0; i < count; ++i) marks += "?, ";
        if (place_ == Place::AtRecord) marks += "?";
        else if (!marks.empty()) marks.resize(marks.size() - 2);
        const char* op = place_ == Place::AtRecord ? (forward ? " > " : " < ") : (forward ? " >= " : " < ");
        where += " AND (" + row + ")" + op + "(" + marks + ")";
    }
    std::string sql = "SELECT " + schema::SelectColumns(table_) + " FROM " + Quoted(table_.Label) + " WHERE " + where +
                      " ORDER BY " + orderBy + " LIMIT 1";
    int error = NoError;
    sqlite3_stmt* statement = connection_->Prepare(sql, error);
    if (!statement) return error;
    if (bindPosition) {
        int parameter = 1;
        if (order_ >= 0)
            for (size_t component : table_.Keys[order_].Components)
                BindField(statement, parameter++, table_.Fields[component], positionImage_.data());
        if (place_ == Place::AtRecord) sqlite3_bind_int64(statement, parameter, positionRowId_);
    }
    error = Fetch(statement, record);
    if (error == RecordNotAvailErr) place_ = forward ? Place::AfterLast : Place::AtStart;
    return error;
}

int StoreTable::Fetch(sqlite3_stmt* statement, void* record) {
    int rc = sqlite3_step(statement);
    if (rc == SQLITE_DONE) {
        sqlite3_reset(statement);
        return WrongState(RecordNotAvailErr);
    }
    if (rc != SQLITE_ROW) {
        sqlite3_reset(statement);
        return RecordSqliteFailure(connection_->Db(), rc, IsHeldErr);
    }
    ReadRecord(statement, 1, table_, record);
    currentRowId_ = sqlite3_column_int64(statement, 0);
    sqlite3_reset(statement);
    currentImage_.assign(static_cast<const char*>(record), table_.RecordSize);
    positionImage_ = currentImage_;
    positionRowId_ = currentRowId_;
    place_ = Place::AtRecord;
    ClearLastError();
    return NoError;
}

int StoreTable::Get(int key, void* record) {
    if (!connection_) return WrongState(FileSystemErr);
    if (key < 0 || key >= static_cast<int>(table_.Keys.size())) return WrongState(BadKeyErr);
    const KeyDef& def = table_.Keys[key];
    std::string where = schema::NotEmptyCondition(table_, def);
    for (size_t i = 0; i < def.Components.size(); ++i) where += " AND " + schema::OrderedColumn(table_, def, i) + " = ?";
    std::string sql = "SELECT " + schema::SelectColumns(table_) + " FROM " + Quoted(table_.Label) + " WHERE " + where +
                      " ORDER BY rowid LIMIT 1";
    int error = NoError;
    sqlite3_stmt* statement = connection_->Prepare(sql, error);
    if (!statement) return error;
    int parameter = 1;
    for (size_t component : def.Components) BindField(statement, parameter++, table_.Fields[component], record);
    order_ = key;
    return Fetch(statement, record);
}

int StoreTable::ReadRow(int64_t rowId, void* record) {
    int error = NoError;
    sqlite3_stmt* statement = connection_->Prepare(
        "SELECT " + schema::SelectColumns(table_) + " FROM " + Quoted(table_.Label) + " WHERE rowid = ?", error);
    if (!statement) return error;
    sqlite3_bind_int64(statement, 1, rowId);
    int rc = sqlite3_step(statement);
    if (rc == SQLITE_ROW) ReadRecord(statement, 1, table_, record);
    sqlite3_reset(statement);
    if (rc == SQLITE_ROW) return NoError;
    if (rc == SQLITE_DONE) return WrongState(RecordNotAvailErr);
    return RecordSqliteFailure(connection_->Db(), rc, IsHeldErr);
}

template <typename Write>
int StoreTable::Guarded(Write write) {
    bool own = !connection_->InTransaction();
    if (own) {
        int error = connection_->Begin(connection_->BusyTimeout());
        if (error != NoError) return LastError().Code == AccessDeniedErr ? WrongState(IsHeldErr) : error;
    }
    int error = write();
    if (!own) return error;
    if (error != NoError) {
        RuntimeErrorState failure = LastError();
        connection_->Rollback();
        SetLastError(failure.Code, failure.FileCode, failure.FileText);
        return error;
    }
    return connection_->Commit();
}

int StoreTable::Add(const void* record) {
    if (!connection_) return WrongState(FileSystemErr);
    const std::string sql = schema::InsertSql(table_);
    int64_t rowId = 0;
    int error = Guarded([&]() -> int {
        int e = NoError;
        sqlite3_stmt* statement = connection_->Prepare(sql, e);
        if (!statement) return e;
        BindRecord(statement, 1, table_, record);
        int rc = sqlite3_step(statement);
        sqlite3_reset(statement);
        if (rc != SQLITE_DONE) return RecordSqliteFailure(connection_->Db(), rc, IsHeldErr);
        rowId = sqlite3_last_insert_rowid(connection_->Db());
        return NoError;
    });
    if (error != NoError) return error;
    // What the store keeps is what a later write is checked against.
    currentImage_.assign(table_.RecordSize, '\0');
    if (ReadRow(rowId, currentImage_.data()) != NoError)
        currentImage_.assign(static_cast<const char*>(record), table_.RecordSize);
    currentRowId_ = rowId;
    positionImage_ = currentImage_;
    positionRowId_ = rowId;
    place_ = Place::AtRecord;
    ClearLastError();
    return NoError;
}

int StoreTable::Put(const void* record) {
    if (!connection_) return WrongState(FileSystemErr);
    if (currentRowId_ == 0) return WrongState(RecordNotAvailErr);
    int error = Guarded([&]() -> int {
        std::string stored(table_.RecordSize, '\0');
        int e = ReadRow(currentRowId_, stored.data());
        if (e != NoError) return e;
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
        std::string assignments;
        for (const FieldDef* f : changed) assignments += (assignments.empty() ? "" : ", ") + Quoted(f->Column) + " = ?";
        sqlite3_stmt* statement =
            connection_->Prepare("UPDATE " + Quoted(table_.Label) + " SET " + assignments + " WHERE rowid = ?", e);
        if (!statement) return e;
        int parameter = 1;
        for (const FieldDef* f : changed) BindField(statement, parameter++, *f, record);
        sqlite3_bind_int64(statement, parameter, currentRowId_);
        int rc = sqlite3_step(statement);
        sqlite3_reset(statement);
        if (rc != SQLITE_DONE) return RecordSqliteFailure(connection_->Db(), rc, IsHeldErr);
        return NoError;
    });
    if (error != NoError) return error;
    std::string stored(table_.RecordSize, '\0');
    currentImage_ = ReadRow(currentRowId_, stored.data()) == NoError
                        ? stored
                        : std::string(static_cast<const char*>(record), table_.RecordSize);
    ClearLastError();
    return NoError;
}

int StoreTable::Remove() {
    if (!connection_) return WrongState(FileSystemErr);
    if (currentRowId_ == 0) return WrongState(RecordNotAvailErr);
    int error = Guarded([&]() -> int {
        int e = NoError;
        sqlite3_stmt* statement = connection_->Prepare("DELETE FROM " + Quoted(table_.Label) + " WHERE rowid = ?", e);
        if (!statement) return e;
        sqlite3_bind_int64(statement, 1, currentRowId_);
        int rc = sqlite3_step(statement);
        sqlite3_reset(statement);
        if (rc != SQLITE_DONE) return RecordSqliteFailure(connection_->Db(), rc, IsHeldErr);
        if (sqlite3_changes(connection_->Db()) == 0) return WrongState(RecordNotAvailErr);
        return NoError;
    });
    if (error != NoError) return error;
    // The walk goes on from where the record stood.
    currentRowId_ = 0;
    currentImage_.clear();
    ClearLastError();
    return NoError;
}

int StoreTable::Reread(void* record) {
    if (!connection_) return WrongState(FileSystemErr);
    if (currentRowId_ == 0) return WrongState(RecordNotAvailErr);
    int error = ReadRow(currentRowId_, record);
    if (error == NoError) currentImage_.assign(static_cast<const char*>(record), table_.RecordSize);
    return error;
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
    if (!connection_) return WrongState(FileSystemErr);
    return connection_->Begin(timeoutMs);
}

int StoreTable::CommitTransaction() { return connection_ ? connection_->Commit() : NoError; }

int StoreTable::RollbackTransaction() { return connection_ ? connection_->Rollback() : NoError; }

}  // namespace verdo
