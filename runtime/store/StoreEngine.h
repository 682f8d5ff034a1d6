#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/RuntimeError.h"
#include "runtime/store/FieldDictionary.h"
#include "runtime/store/StoreSchema.h"

namespace verdo {

// Where a read along a key begins. Rows whose key components are all empty are in no
// key that excludes them; rows of equal key values follow in the order they were added.
struct ReadFrom {
    enum class Bound {
        None,      // the first row along the key, or the last when reading backwards
        After,     // the row after (before) the one with `Values` and `RowId`
        AtValues,  // forwards, the first row at or after `Values`; backwards, the last before
    };
    int Key = -1;  // -1: in the order the rows were added
    bool Forward = true;
    Bound From = Bound::None;
    const void* Values = nullptr;  // a record holding the key values of the bound
    int64_t RowId = 0;
};

// A row as the store holds it, one value per stored field in record order, in the field's
// StoredForm: Number, or Data holding UTF-8 text or raw bytes. What a record cannot hold
// (text above U+00FF, texts longer than a field) stays as it is, so stores move whole.
struct StoredValue {
    int64_t Number = 0;
    std::string Data;
};
using StoredRow = std::vector<StoredValue>;

// One open store, a store file or a database on a server, shared by the tables of it that
// are open in the process. Transactions cover every table of the store. Every operation
// returns a run-time error code, 0 for success; on failure, Failure() tells the rest.
class StoreEngine {
public:
    virtual ~StoreEngine() = default;

    // The failure the last operation on this thread left: its code, and the store's own
    // code and text.
    virtual RuntimeErrorState Failure() const = 0;

    virtual bool ReadOnly() const = 0;
    // How long a write waits for a lock that another connection holds.
    virtual void SetLockWait(int milliseconds) = 0;
    virtual int LockWait() const = 0;

    // 0 when the table and each of its keys are there; 2 without the table, 46 without a key.
    virtual int CheckTable(const TableDef& table) = 0;
    // Whether the table may be written through this connection now: 0, or 5.
    virtual int CheckWriteAccess(const TableDef& table) = 0;
    // Creates a missing table with its keys and standard rows. A store that holds none
    // of the catalog's tables gets all of them, in one step.
    virtual int CreateTable(const TableDef& table, const std::vector<CatalogEntry>& catalog) = 0;
    // Makes every key of the table again.
    virtual int BuildKeys(const TableDef& table) = 0;

    // One row into `record`, with its row number; 33 when there is none.
    virtual int Read(const TableDef& table, const ReadFrom& from, void* record, int64_t& rowId) = 0;
    // The first row whose components of the key equal those in `values` (which may be
    // `record` itself). With `lock`, the row stays held for this connection's transaction.
    virtual int Get(const TableDef& table, int key, const void* values, bool lock, void* record, int64_t& rowId) = 0;
    virtual int ReadRow(const TableDef& table, int64_t rowId, bool lock, void* record) = 0;
    // Adds the record as a new row; `stored`, when given, receives the row as the store
    // keeps it, which a later change is checked against.
    virtual int Insert(const TableDef& table, const void* record, int64_t& rowId, void* stored) = 0;
    // Writes the given fields of the record into the row; `stored` as with Insert.
    virtual int Update(const TableDef& table, int64_t rowId, const std::vector<const FieldDef*>& fields,
                       const void* record, void* stored) = 0;
    // 33 when the row is no longer there.
    virtual int Delete(const TableDef& table, int64_t rowId) = 0;

    // Up to `count` rows as stored, with their row numbers, after `afterRowId` in the
    // order they were added.
    virtual int ReadStored(const TableDef& table, int64_t afterRowId, size_t count, std::vector<StoredRow>& rows,
                           std::vector<int64_t>& rowIds) = 0;
    virtual int InsertStored(const TableDef& table, const StoredRow& row) = 0;

    // Transactions nest; a failure to begin within the time-out is 5.
    virtual int Begin(int timeoutMs) = 0;
    virtual int Commit() = 0;
    virtual int Rollback() = 0;
    virtual bool InTransaction() const = 0;
};

// The server engine lives in a module of its own that links the server's client library,
// loaded only when a server store is named. The module gives one function by this name:
// a connection to the server, or nothing with the failure set. Module and program must
// agree on this interface's version.
inline constexpr int StoreEngineInterface = 1;
inline constexpr const char* ServerModuleFile = "libverdo_pgstore.so";
inline constexpr const char* ServerModuleEntry = "VerdoConnectServerStore";
using ServerConnectFunction = StoreEngine* (*)(int interface, const std::string& connection, bool write,
                                               RuntimeErrorState& failure);

}  // namespace verdo
