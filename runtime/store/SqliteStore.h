#pragma once
#include <map>
#include <memory>
#include <string>

#include "runtime/store/StoreEngine.h"

struct sqlite3;
struct sqlite3_stmt;

namespace verdo {

// A store file: one SQLite database holding every table of the catalog.
class SqliteStore : public StoreEngine {
public:
    ~SqliteStore() override;
    SqliteStore(const SqliteStore&) = delete;
    SqliteStore& operator=(const SqliteStore&) = delete;

    // Opens the store file. Fails with code 2 when the file does not exist, 90 when it
    // is not a store.
    static std::shared_ptr<SqliteStore> Open(const std::string& path, bool write, int& error);

    // Creates the store file with every table of the catalog, its keys and standard
    // rows, in one step; nothing is left behind when it fails or the process is killed.
    // A file that another process put there meanwhile is kept.
    static int CreateFile(const std::string& path);

    RuntimeErrorState Failure() const override;
    bool ReadOnly() const override;
    void SetLockWait(int milliseconds) override;
    int LockWait() const override { return busyMs_; }

    int CheckTable(const TableDef& table) override;
    int CheckWriteAccess(const TableDef& table) override;
    int CreateTable(const TableDef& table, const std::vector<CatalogEntry>& catalog) override;
    int BuildKeys(const TableDef& table) override;

    int Read(const TableDef& table, const ReadFrom& from, void* record, int64_t& rowId) override;
    int Get(const TableDef& table, int key, const void* values, bool lock, void* record, int64_t& rowId) override;
    int ReadRow(const TableDef& table, int64_t rowId, bool lock, void* record) override;
    int Insert(const TableDef& table, const void* record, int64_t& rowId, void* stored) override;
    int Update(const TableDef& table, int64_t rowId, const std::vector<const FieldDef*>& fields, const void* record,
               void* stored) override;
    int Delete(const TableDef& table, int64_t rowId) override;

    int ReadStored(const TableDef& table, int64_t afterRowId, size_t count, std::vector<StoredRow>& rows,
                   std::vector<int64_t>& rowIds) override;
    int InsertStored(const TableDef& table, const StoredRow& row) override;

    // Transactions nest: the outermost is BEGIN IMMEDIATE, inner ones are savepoints.
    int Begin(int timeoutMs) override;
    int Commit() override;
    int Rollback() override;
    bool InTransaction() const override { return depth_ > 0; }

private:
    explicit SqliteStore(sqlite3* db);
    // A prepared statement, kept for the life of the connection.
    sqlite3_stmt* Prepare(const std::string& sql, int& error);
    int Exec(const std::string& sql, int busyCode);
    // Steps a prepared read of a whole row.
    int Fetch(sqlite3_stmt* statement, const TableDef& table, void* record, int64_t& rowId);
    int Step(sqlite3_stmt* statement);

    sqlite3* db_;
    int busyMs_ = 0;
    int depth_ = 0;
    std::map<std::string, sqlite3_stmt*> statements_;
};

}  // namespace verdo
