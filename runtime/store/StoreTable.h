#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "runtime/store/FieldDictionary.h"

namespace verdo {

class StoreEngine;

// One table of a store, as the file manager sees it: opened under the composed name
// "<store>\!<table>", walked along a key or in record order, read by key, and written
// one record at a time. The store is a file or a database on a server (StoreEngines.h);
// the table behaves the same on either. Every operation returns an error code (0 for
// success) and leaves the run-time error state set on failure.
class StoreTable {
public:
    // Open modes: access in the low two bits, sharing in the high four.
    static constexpr uint8_t ReadOnlyAccess = 0x00;
    static constexpr uint8_t ReadWriteAccess = 0x02;

    StoreTable(const TableDef& table, std::string name);
    ~StoreTable();
    StoreTable(const StoreTable&) = delete;
    StoreTable& operator=(const StoreTable&) = delete;

    // Splits "<store>\!<label>" into the store and the table inside it.
    static void SplitName(const std::string& name, std::string& path, std::string& label);

    const TableDef& Table() const { return table_; }
    const std::string& Name() const { return name_; }
    bool IsOpen() const { return engine_ != nullptr; }

    int Open(uint8_t mode);
    int Close();
    // Creates the table (and the whole store when it is missing or empty).
    int Create();
    // Makes every key of the table again.
    int BuildKeys();
    // A command to the store: "Recover=n" sets the seconds a locked store is waited for.
    void Send(const std::string& command);

    // Positioning: record order (key -1) or a key, before its first record; or before
    // the first record whose key components are at or after those in `record`.
    void SetOrder(int key);
    void SetPosition(int key, const void* record);
    int Next(void* record);
    int Previous(void* record);
    // Reads the first record whose key components equal those in `record`. Within a
    // transaction the record stays held for it until it ends.
    int Get(int key, void* record);

    int Add(const void* record);
    // Writes over the record read last; fails with 89 when the store's row is no longer
    // the one that was read.
    int Put(const void* record);
    // Deletes the record read last.
    int Remove();
    // Reads the record read last again, as the store holds it now.
    int Reread(void* record);

    // Where a walk stands and which record was read last, to come back to later.
    struct Position {
        int Key = -1;
        int Place = 0;
        int64_t RowId = 0;
        std::string Image;
        int64_t CurrentRowId = 0;
        std::string CurrentImage;
    };
    Position CurrentPosition() const;
    void Reset(const Position& position);
    // A place on a key at one record, given by its key values and its row: from there
    // Previous reads the record before it and Next the record after it, or, when
    // `including`, that record itself when it is still there. Row 0 with `including`
    // stands before every record of those key values.
    static Position PositionAt(const TableDef& table, int key, const void* record, int64_t rowId, bool including);
    // Before the first record of a key (key -1: record order): Next reads the first
    // record, Previous the last.
    static Position StartOf(int key);
    bool HasCurrent() const { return currentRowId_ != 0; }
    // The record read last: its row, 0 for none, and its image as it was read.
    int64_t CurrentRowId() const { return currentRowId_; }
    const std::string& CurrentImage() const { return currentImage_; }

    int BeginTransaction(int timeoutMs);
    int CommitTransaction();
    int RollbackTransaction();

private:
    // BeforeFirst: a walk not yet started (Next reads the first record, Previous the
    // last); AtStart and AfterLast: a walk that ran off its start or its end.
    enum class Place { BeforeFirst, AfterLast, AtRecord, BeforeValues, AtStart };
    int Read(bool forward, void* record);
    // The row just read becomes the record read last and marks the position.
    int Fetched(const void* record, int64_t rowId);
    // Runs a write inside a transaction of its own unless one is open.
    template <typename Write>
    int Guarded(Write write);
    int WrongState(int code);
    // The engine's failure becomes the run-time error state of this thread.
    int Failed(StoreEngine& engine, int code);

    const TableDef& table_;
    std::string name_;
    std::string path_;
    std::string label_;
    std::shared_ptr<StoreEngine> engine_;
    int recoverSeconds_ = 0;

    int order_ = -1;
    Place place_ = Place::BeforeFirst;
    std::string positionImage_;   // the record whose key values mark the position
    int64_t positionRowId_ = 0;
    int64_t currentRowId_ = 0;    // the record read last, which Put and Remove act on
    std::string currentImage_;    // that record as it was read
};

}  // namespace verdo
