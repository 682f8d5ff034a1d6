#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <string>
#include <vector>

#include "runtime/store/StoreEngine.h"

struct pg_conn;
struct pg_result;

namespace verdo {

// A store in a database on a server: one connection, the six tables in the first schema
// of its search path. A row read for a change within a transaction is held for the
// transaction; lock waits end after the transaction's time-out.
class PgStore : public StoreEngine {
public:
    // Connects with libpq's own means for everything the string leaves out; a string that
    // holds a password is refused, as passwords belong in libpq's password file, its
    // environment or a service file. Nothing when the server cannot be reached or refuses.
    static StoreEngine* Connect(const std::string& connection, bool write, RuntimeErrorState& failure);
    ~PgStore() override;
    PgStore(const PgStore&) = delete;
    PgStore& operator=(const PgStore&) = delete;

    RuntimeErrorState Failure() const override;
    bool ReadOnly() const override { return readOnly_; }
    void SetLockWait(int milliseconds) override { lockWaitMs_ = milliseconds; }
    int LockWait() const override { return lockWaitMs_; }

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

    // The outermost transaction sets the lock time-out for itself; inner ones are savepoints.
    int Begin(int timeoutMs) override;
    int Commit() override;
    int Rollback() override;
    bool InTransaction() const override { return depth_ > 0; }

private:
    struct ResultDeleter {
        void operator()(pg_result* result) const;
    };
    using Result = std::unique_ptr<pg_result, ResultDeleter>;
    class Params;

    PgStore(pg_conn* connection, bool readOnly);
    // Runs one statement: its result, or nothing with the failure recorded. `busyCode` is
    // what a lock time-out means for the operation at hand.
    Result Run(const std::string& sql, const Params& params, int busyCode, bool binary = true);
    Result Run(const std::string& sql, int busyCode);
    int Failed(const pg_result* result, int busyCode);
    int Fetch(const Result& result, const TableDef& table, void* record, int64_t& rowId);
    int Created(const TableDef& table, const std::vector<CatalogEntry>& catalog);
    // Keeps a row that this transaction holds as it stands.
    void Hold(const TableDef& table, int64_t rowId, const void* record);

    pg_conn* connection_;
    bool readOnly_;
    int lockWaitMs_ = 250;
    int depth_ = 0;
    // A statement that failed within a transaction spoils the rest of it on the server;
    // its failure stands for every later step until the transaction or savepoint ends.
    bool spoiled_ = false;
    RuntimeErrorState spoiledBy_;
    // The rows this transaction holds, as they stand: a row read for a change is not
    // read again to be checked before it is written.
    std::map<std::pair<const TableDef*, int64_t>, std::string> held_;
    // What the last check of a table found out about writing it.
    const TableDef* checkedForWriting_ = nullptr;
    bool mayWrite_ = false;
    bool standby_ = false;
};

}  // namespace verdo
