#include "runtime/store/StoreConnection.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <mutex>
#include <vector>

#include "runtime/RuntimeError.h"
#include "runtime/bytes/AtomicFile.h"
#include "runtime/store/RecordCodec.h"
#include "runtime/store/SqliteErrors.h"
#include "runtime/store/StoreSchema.h"

namespace verdo {

namespace {
constexpr int ShortWaitMs = 250;
std::mutex registryMutex;
std::map<std::string, std::weak_ptr<StoreConnection>>& Registry() {
    static std::map<std::string, std::weak_ptr<StoreConnection>> registry;
    return registry;
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
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
}  // namespace

StoreConnection::StoreConnection(std::string path, sqlite3* db)
    : path_(std::move(path)), db_(db), busyMs_(ShortWaitMs) {}

StoreConnection::~StoreConnection() {
    if (depth_ > 0) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    for (auto& [sql, statement] : statements_) sqlite3_finalize(statement);
    sqlite3_close(db_);
}

std::shared_ptr<StoreConnection> StoreConnection::Acquire(const std::string& path, bool write, int& error) {
    std::lock_guard<std::mutex> lock(registryMutex);
    error = NoError;
    auto& registry = Registry();
    if (auto it = registry.find(path); it != registry.end()) {
        if (auto existing = it->second.lock()) {
            if (!write || !existing->ReadOnly()) return existing;
        }
    }
    if (!FileExists(path)) {
        SetLastError(FileNotFoundErr);
        error = FileNotFoundErr;
        return nullptr;
    }
    sqlite3* db = nullptr;
    error = OpenDb(path, write, &db);
    if (error != NoError) return nullptr;
    std::shared_ptr<StoreConnection> connection(new StoreConnection(path, db));
    registry[path] = connection;
    return connection;
}

bool StoreConnection::ReadOnly() const { return sqlite3_db_readonly(db_, "main") == 1; }

void StoreConnection::SetBusyTimeout(int milliseconds) {
    busyMs_ = milliseconds;
    sqlite3_busy_timeout(db_, milliseconds);
}

sqlite3_stmt* StoreConnection::Prepare(const std::string& sql, int& error) {
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

int StoreConnection::Exec(const std::string& sql, int busyCode) {
    int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
    return rc == SQLITE_OK ? NoError : RecordSqliteFailure(db_, rc, busyCode);
}

int StoreConnection::ProbeWriteLock() {
    if (depth_ > 0) return NoError;
    if (ReadOnly()) {
        SetLastError(AccessDeniedErr);
        return AccessDeniedErr;
    }
    int error = Exec("BEGIN IMMEDIATE", AccessDeniedErr);
    if (error != NoError) return error;
    return Exec("ROLLBACK", AccessDeniedErr);
}

int StoreConnection::Begin(int timeoutMs) {
    if (depth_ > 0) {
        int error = Exec("SAVEPOINT level" + std::to_string(depth_), AccessDeniedErr);
        if (error == NoError) ++depth_;
        return error;
    }
    int saved = busyMs_;
    sqlite3_busy_timeout(db_, timeoutMs);
    int error = Exec("BEGIN IMMEDIATE", AccessDeniedErr);
    sqlite3_busy_timeout(db_, saved);
    if (error == NoError) depth_ = 1;
    return error;
}

int StoreConnection::Commit() {
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
    RuntimeErrorState failure = LastError();
    Exec("ROLLBACK", AccessDeniedErr);
    depth_ = 0;
    SetLastError(failure.Code, failure.FileCode, failure.FileText);
    return error;
}

int StoreConnection::Rollback() {
    if (depth_ == 0) return NoError;
    if (depth_ > 1) {
        --depth_;
        std::string name = "level" + std::to_string(depth_);
        return Exec("ROLLBACK TO " + name + "; RELEASE " + name, AccessDeniedErr);
    }
    depth_ = 0;
    return Exec("ROLLBACK", AccessDeniedErr);
}

int StoreConnection::CreateFile(const std::string& path) {
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
    for (const CatalogEntry& entry : Catalog()) {
        const TableDef& table = *entry.Table;
        if (rc == SQLITE_OK) rc = sqlite3_exec(db, schema::CreateTableSql(table).c_str(), nullptr, nullptr, nullptr);
        for (const KeyDef& key : table.Keys)
            if (rc == SQLITE_OK)
                rc = sqlite3_exec(db, schema::CreateIndexSql(table, key).c_str(), nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK || !entry.StandardRows) continue;
        std::string sql = schema::InsertSql(table);
        sqlite3_stmt* insert = nullptr;
        rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &insert, nullptr);
        for (const std::string& row : entry.StandardRows()) {
            if (rc != SQLITE_OK) break;
            BindRecord(insert, 1, table, row.data());
            rc = sqlite3_step(insert);
            rc = rc == SQLITE_DONE ? SQLITE_OK : rc;
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
    }
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
