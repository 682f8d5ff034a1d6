#include "runtime/store/SqliteStore.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <set>
#include <vector>

#include "runtime/RuntimeError.h"
#include "runtime/bytes/AtomicFile.h"
#include "runtime/store/FieldValues.h"
#include "runtime/store/RecordCodec.h"
#include "runtime/store/SqliteErrors.h"

namespace verdo {

namespace {
constexpr int ShortWaitMs = 250;
constexpr int OperatingBusyMs = 2000;

using schema::Quoted;

bool FileExists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

int WrongState(int code) {
    SetLastError(code);
    return code;
}

// The log's length, in pages, from which a commit folds it into the store and starts it
// again: what SQLite's own automatic checkpoint would use.
constexpr int LongLog = 100;

// After a commit. Every process opens the store alone and rebuilds its index of the log
// by reading the whole log, which forgets what an earlier process already folded in: a
// log that is only ever folded in, never started again, grows with every build and makes
// each start slower. A long log is therefore folded in and cut to nothing, when no other
// connection is reading it just now; otherwise a later commit does it.
// `busyMs` is the connection's wait for other connections, given back afterwards.
int FoldLongLog(void* busyMs, sqlite3* db, const char* schemaName, int pages) {
    if (pages < LongLog) return SQLITE_OK;
    sqlite3_busy_timeout(db, 0);
    sqlite3_wal_checkpoint_v2(db, schemaName, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
    sqlite3_busy_timeout(db, *static_cast<const int*>(busyMs));
    return SQLITE_OK;
}

int OpenDb(const std::string& path, bool write, sqlite3** db) {
    int flags = (write ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY) | SQLITE_OPEN_NOMUTEX;
    int rc = sqlite3_open_v2(path.c_str(), db, flags, nullptr);
    if (rc != SQLITE_OK) {
        int code = RecordSqliteFailure(*db, rc, AccessDeniedErr);
        sqlite3_close(*db);
        *db = nullptr;
        return code;
    }
    sqlite3_extended_result_codes(*db, 1);
    // Another process may be folding its log into the store just now; that passes quickly.
    sqlite3_busy_timeout(*db, ShortWaitMs);
    // Reading the schema tells a store from any other file.
    rc = sqlite3_exec(*db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        int code = RecordSqliteFailure(*db, rc, AccessDeniedErr);
        sqlite3_close(*db);
        *db = nullptr;
        return code;
    }
    // Commits are safe against a killed process without waiting for the disk; the
    // write-ahead log is folded into the store from time to time, not at every close,
    // so that a build-time run stays quick.
    sqlite3_exec(*db, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
    sqlite3_db_config(*db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    return NoError;
}
// A table with its indexes and, for a lookup table, its standard rows; SQLite's result.
int MakeTable(sqlite3* db, const TableDef& table, const CatalogEntry* entry) {
    int rc = sqlite3_exec(db, schema::CreateTableSql(table).c_str(), nullptr, nullptr, nullptr);
    for (const KeyDef& key : table.Keys)
        if (rc == SQLITE_OK) rc = sqlite3_exec(db, schema::CreateIndexSql(table, key).c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK || !entry || !entry->StandardRows) return rc;
    std::string sql = schema::InsertSql(table);
    sqlite3_stmt* insert = nullptr;
    rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &insert, nullptr);
    for (const std::string& row : entry->StandardRows()) {
        if (rc != SQLITE_OK) break;
        BindRecord(insert, 1, table, row.data());
        rc = sqlite3_step(insert);
        rc = rc == SQLITE_DONE ? SQLITE_OK : rc;
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    return rc;
}

}  // namespace

SqliteStore::SqliteStore(sqlite3* db) : db_(db), busyMs_(ShortWaitMs) { sqlite3_wal_hook(db_, FoldLongLog, &busyMs_); }

SqliteStore::~SqliteStore() {
    if (depth_ > 0) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    for (auto& [sql, statement] : statements_) sqlite3_finalize(statement);
    sqlite3_close(db_);
}

std::shared_ptr<SqliteStore> SqliteStore::Open(const std::string& path, bool write, int& error) {
    error = NoError;
    if (!FileExists(path)) {
        error = WrongState(FileNotFoundErr);
        return nullptr;
    }
    sqlite3* db = nullptr;
    error = OpenDb(path, write, &db);
    if (error != NoError) return nullptr;
    return std::shared_ptr<SqliteStore>(new SqliteStore(db));
}

RuntimeErrorState SqliteStore::Failure() const { return LastError(); }

bool SqliteStore::ReadOnly() const { return sqlite3_db_readonly(db_, "main") == 1; }

void SqliteStore::SetLockWait(int milliseconds) {
    busyMs_ = milliseconds;
    sqlite3_busy_timeout(db_, milliseconds);
}

sqlite3_stmt* SqliteStore::Prepare(const std::string& sql, int& error) {
    error = NoError;
    if (auto it = statements_.find(sql); it != statements_.end()) {
        sqlite3_reset(it->second);
        sqlite3_clear_bindings(it->second);
        return it->second;
    }
    sqlite3_stmt* statement = nullptr;
    int rc = sqlite3_prepare_v3(db_, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr);
    if (rc != SQLITE_OK) {
        error = RecordSqliteFailure(db_, rc, AccessDeniedErr);
        return nullptr;
    }
    statements_[sql] = statement;
    return statement;
}

int SqliteStore::Exec(const std::string& sql, int busyCode) {
    int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
    return rc == SQLITE_OK ? NoError : RecordSqliteFailure(db_, rc, busyCode);
}

int SqliteStore::Step(sqlite3_stmt* statement) {
    int rc = sqlite3_step(statement);
    sqlite3_reset(statement);
    return rc == SQLITE_DONE ? NoError : RecordSqliteFailure(db_, rc, IsHeldErr);
}

int SqliteStore::CheckTable(const TableDef& table) {
    int error = NoError;
    sqlite3_stmt* objects = Prepare("SELECT type, name FROM sqlite_master WHERE tbl_name = ? COLLATE NOCASE", error);
    if (!objects) return error;
    sqlite3_bind_text(objects, 1, table.Label.c_str(), -1, SQLITE_TRANSIENT);
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
    if (rc != SQLITE_DONE) return RecordSqliteFailure(db_, rc, AccessDeniedErr);
    if (!tableFound) return WrongState(FileNotFoundErr);
    for (const KeyDef& key : table.Keys)
        if (!indexes.count(schema::IndexName(key))) return WrongState(BadKeyErr);
    return NoError;
}

int SqliteStore::CheckWriteAccess(const TableDef&) {
    // Whether the store would let this process write now: takes and releases the write lock.
    if (depth_ > 0) return NoError;
    if (ReadOnly()) return WrongState(AccessDeniedErr);
    int error = Exec("BEGIN IMMEDIATE", AccessDeniedErr);
    if (error != NoError) return error;
    return Exec("ROLLBACK", AccessDeniedErr);
}

int SqliteStore::CreateTable(const TableDef& table, const std::vector<CatalogEntry>& catalog) {
    int error = Begin(OperatingBusyMs);
    if (error != NoError) return error;
    // A lookup table made anew gets its standard rows back.
    const CatalogEntry* entry = nullptr;
    for (const CatalogEntry& e : catalog)
        if (e.Table == &table) entry = &e;
    int rc = MakeTable(db_, table, entry);
    if (rc != SQLITE_OK) error = RecordSqliteFailure(db_, rc, AccessDeniedErr);
    if (error != NoError) return KeepingFailure(error, [&] { Rollback(); });
    return Commit();
}

int SqliteStore::BuildKeys(const TableDef& table) {
    for (const KeyDef& key : table.Keys) {
        int error = Exec("DROP INDEX IF EXISTS " + Quoted(schema::IndexName(key)), AccessDeniedErr);
        if (error == NoError) error = Exec(schema::CreateIndexSql(table, key), AccessDeniedErr);
        if (error != NoError) return error;
    }
    return NoError;
}

int SqliteStore::Fetch(sqlite3_stmt* statement, const TableDef& table, void* record, int64_t& rowId) {
    int rc = sqlite3_step(statement);
    if (rc == SQLITE_DONE) {
        sqlite3_reset(statement);
        return WrongState(RecordNotAvailErr);
    }
    if (rc != SQLITE_ROW) {
        sqlite3_reset(statement);
        return RecordSqliteFailure(db_, rc, IsHeldErr);
    }
    ReadRecord(statement, 1, table, record);
    rowId = sqlite3_column_int64(statement, 0);
    sqlite3_reset(statement);
    return NoError;
}

int SqliteStore::Read(const TableDef& table, const ReadFrom& from, void* record, int64_t& rowId) {
    const bool forward = from.Forward;
    std::string where = "1";
    std::string orderBy;
    std::string row = "rowid";
    if (from.Key >= 0) {
        const KeyDef& key = table.Keys[from.Key];
        where = schema::NotEmptyCondition(table, key);
        std::string values;
        for (size_t i = 0; i < key.Components.size(); ++i) {
            std::string column = schema::OrderedColumn(table, key, i);
            orderBy += column + (forward ? "" : " DESC") + ", ";
            values += (i ? ", " : "") + column;
        }
        row = values + ", rowid";
        if (from.From == ReadFrom::Bound::AtValues) row = values;
    }
    orderBy += forward ? "rowid" : "rowid DESC";

    bool bindPosition = from.From != ReadFrom::Bound::None;
    if (bindPosition) {
        std::string marks;
        size_t count = from.Key >= 0 ? table.Keys[from.Key].Components.size() : 0;
        for (size_t i = 0; i < count; ++i) marks += "?, ";
        if (from.From == ReadFrom::Bound::After) marks += "?";
        else if (!marks.empty()) marks.resize(marks.size() - 2);
        const char* op = from.From == ReadFrom::Bound::After ? (forward ? " > " : " < ") : (forward ? " >= " : " < ");
        where += " AND (" + row + ")" + op + "(" + marks + ")";
    }
    std::string sql = "SELECT " + schema::SelectColumns(table) + " FROM " + Quoted(table.Label) + " WHERE " + where +
                      " ORDER BY " + orderBy + " LIMIT 1";
    int error = NoError;
    sqlite3_stmt* statement = Prepare(sql, error);
    if (!statement) return error;
    if (bindPosition) {
        int parameter = 1;
        if (from.Key >= 0)
            for (size_t component : table.Keys[from.Key].Components)
                BindField(statement, parameter++, table.Fields[component], from.Values);
        if (from.From == ReadFrom::Bound::After) sqlite3_bind_int64(statement, parameter, from.RowId);
    }
    return Fetch(statement, table, record, rowId);
}

int SqliteStore::Get(const TableDef& table, int key, const void* values, bool, void* record, int64_t& rowId) {
    // Within a transaction the whole store is held already.
    const KeyDef& def = table.Keys[key];
    std::string where = schema::NotEmptyCondition(table, def);
    for (size_t i = 0; i < def.Components.size(); ++i) where += " AND " + schema::OrderedColumn(table, def, i) + " = ?";
    std::string sql = "SELECT " + schema::SelectColumns(table) + " FROM " + Quoted(table.Label) + " WHERE " + where +
                      " ORDER BY rowid LIMIT 1";
    int error = NoError;
    sqlite3_stmt* statement = Prepare(sql, error);
    if (!statement) return error;
    int parameter = 1;
    for (size_t component : def.Components) BindField(statement, parameter++, table.Fields[component], values);
    return Fetch(statement, table, record, rowId);
}

int SqliteStore::ReadRow(const TableDef& table, int64_t rowId, bool, void* record) {
    int error = NoError;
    sqlite3_stmt* statement = Prepare(
        "SELECT " + schema::SelectColumns(table) + " FROM " + Quoted(table.Label) + " WHERE rowid = ?", error);
    if (!statement) return error;
    sqlite3_bind_int64(statement, 1, rowId);
    int64_t found = 0;
    return Fetch(statement, table, record, found);
}

int SqliteStore::Insert(const TableDef& table, const void* record, int64_t& rowId, void* stored) {
    int error = NoError;
    sqlite3_stmt* statement = Prepare(schema::InsertSql(table), error);
    if (!statement) return error;
    BindRecord(statement, 1, table, record);
    error = Step(statement);
    if (error != NoError) return error;
    rowId = sqlite3_last_insert_rowid(db_);
    return stored ? ReadRow(table, rowId, false, stored) : NoError;
}

int SqliteStore::Update(const TableDef& table, int64_t rowId, const std::vector<const FieldDef*>& fields,
                        const void* record, void* stored) {
    std::string assignments;
    for (const FieldDef* f : fields) assignments += (assignments.empty() ? "" : ", ") + Quoted(f->Column) + " = ?";
    int error = NoError;
    sqlite3_stmt* statement =
        Prepare("UPDATE " + Quoted(table.Label) + " SET " + assignments + " WHERE rowid = ?", error);
    if (!statement) return error;
    int parameter = 1;
    for (const FieldDef* f : fields) BindField(statement, parameter++, *f, record);
    sqlite3_bind_int64(statement, parameter, rowId);
    error = Step(statement);
    if (error != NoError || !stored) return error;
    return ReadRow(table, rowId, false, stored);
}

int SqliteStore::Delete(const TableDef& table, int64_t rowId) {
    int error = NoError;
    sqlite3_stmt* statement = Prepare("DELETE FROM " + Quoted(table.Label) + " WHERE rowid = ?", error);
    if (!statement) return error;
    sqlite3_bind_int64(statement, 1, rowId);
    error = Step(statement);
    if (error == NoError && sqlite3_changes(db_) == 0) return WrongState(RecordNotAvailErr);
    return error;
}

int SqliteStore::ReadStored(const TableDef& table, int64_t afterRowId, size_t count, std::vector<StoredRow>& rows,
                            std::vector<int64_t>& rowIds) {
    rows.clear();
    rowIds.clear();
    int error = NoError;
    sqlite3_stmt* statement = Prepare("SELECT " + schema::SelectColumns(table) + " FROM " + Quoted(table.Label) +
                                          " WHERE rowid > ? ORDER BY rowid LIMIT ?",
                                      error);
    if (!statement) return error;
    sqlite3_bind_int64(statement, 1, afterRowId);
    sqlite3_bind_int64(statement, 2, static_cast<sqlite3_int64>(count));
    const std::vector<const FieldDef*> fields = schema::StoredFields(table);
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        rowIds.push_back(sqlite3_column_int64(statement, 0));
        StoredRow row(fields.size());
        for (size_t i = 0; i < fields.size(); ++i) {
            int column = static_cast<int>(i) + 1;
            if (FormOf(*fields[i]) == StoredForm::Number) {
                row[i].Number = sqlite3_column_int64(statement, column);
                continue;
            }
            const void* data = FormOf(*fields[i]) == StoredForm::Text ? sqlite3_column_text(statement, column)
                                                                        : sqlite3_column_blob(statement, column);
            if (data) row[i].Data.assign(static_cast<const char*>(data), sqlite3_column_bytes(statement, column));
        }
        rows.push_back(std::move(row));
    }
    sqlite3_reset(statement);
    return rc == SQLITE_DONE ? NoError : RecordSqliteFailure(db_, rc, IsHeldErr);
}

int SqliteStore::InsertStored(const TableDef& table, const StoredRow& row) {
    int error = NoError;
    sqlite3_stmt* statement = Prepare(schema::InsertSql(table), error);
    if (!statement) return error;
    const std::vector<const FieldDef*> fields = schema::StoredFields(table);
    for (size_t i = 0; i < fields.size() && i < row.size(); ++i) {
        int parameter = static_cast<int>(i) + 1;
        const std::string& data = row[i].Data;
        switch (FormOf(*fields[i])) {
            case StoredForm::Number: sqlite3_bind_int64(statement, parameter, row[i].Number); break;
            case StoredForm::Text:
                sqlite3_bind_text(statement, parameter, data.data(), static_cast<int>(data.size()), SQLITE_TRANSIENT);
                break;
            case StoredForm::Bytes:
                sqlite3_bind_blob(statement, parameter, data.data(), static_cast<int>(data.size()), SQLITE_TRANSIENT);
                break;
        }
    }
    return Step(statement);
}

int SqliteStore::Begin(int timeoutMs) {
    if (depth_ > 0) {
        int error = Exec("SAVEPOINT level" + std::to_string(depth_), AccessDeniedErr);
        if (error == NoError) ++depth_;
        return error;
    }
    sqlite3_busy_timeout(db_, timeoutMs);
    int error = Exec("BEGIN IMMEDIATE", AccessDeniedErr);
    sqlite3_busy_timeout(db_, busyMs_);
    if (error == NoError) depth_ = 1;
    return error;
}

int SqliteStore::Commit() {
    if (depth_ == 0) return NoError;
    if (depth_ > 1) {
        --depth_;
        return Exec("RELEASE level" + std::to_string(depth_), AccessDeniedErr);
    }
    int error = Exec("COMMIT", AccessDeniedErr);
    if (error == NoError) {
        depth_ = 0;
        return NoError;
    }
    return KeepingFailure(error, [&] {
        Exec("ROLLBACK", AccessDeniedErr);
        depth_ = 0;
    });
}

int SqliteStore::Rollback() {
    if (depth_ == 0) return NoError;
    if (depth_ > 1) {
        --depth_;
        std::string name = "level" + std::to_string(depth_);
        return Exec("ROLLBACK TO " + name + "; RELEASE " + name, AccessDeniedErr);
    }
    depth_ = 0;
    return Exec("ROLLBACK", AccessDeniedErr);
}

int SqliteStore::CreateFile(const std::string& path) {
    // The store is built in memory and put in place whole, under its name or not at all,
    // so a killed process or a failure leaves neither a half-made store nor a file of
    // another name; it needs no hard link, which FAT file systems lack.
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    auto fail = [&](int result) {
        int code = RecordSqliteFailure(db, result, AccessDeniedErr);
        sqlite3_close(db);
        return code;
    };
    if (rc != SQLITE_OK) return fail(rc);
    sqlite3_extended_result_codes(db, 1);
    // Setting a header value writes the header page even for a catalog without tables,
    // so that there always is a header to mark the journal mode in.
    rc = sqlite3_exec(db, "BEGIN; PRAGMA user_version = 0", nullptr, nullptr, nullptr);
    for (const CatalogEntry& entry : Catalog())
        if (rc == SQLITE_OK) rc = MakeTable(db, *entry.Table, &entry);
    if (rc == SQLITE_OK) rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) return fail(rc);
    sqlite3_int64 size = 0;
    unsigned char* image = sqlite3_serialize(db, "main", &size, 0);
    if (!image || size < 100) {
        sqlite3_free(image);
        sqlite3_close(db);
        return RecordSqliteFailure(nullptr, SQLITE_NOMEM, AccessDeniedErr);
    }
    std::string bytes(reinterpret_cast<const char*>(image), static_cast<size_t>(size));
    sqlite3_free(image);
    sqlite3_close(db);
    // Bytes 18 and 19 of the header are the file format versions, 2 meaning a
    // write-ahead log: the store is in that journal mode from its first open on.
    bytes[18] = bytes[19] = 2;
    // Another process may have made the store meanwhile; its file is kept.
    return CreateFileAtomically(path, bytes) == CreateOutcome::Failed ? FileSystemErr : NoError;
}

}  // namespace verdo
